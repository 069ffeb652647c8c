#pragma once

#include "commands/ModuleMenus.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <ostream>
#include <stdexcept>

// Readable test failures for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(", ").toStdString() << ']';
}

namespace talor::test {

// A SQLite file in a temporary directory with the suite tables the main window reads:
// zdb3 (department tree), zdb1 (table catalogue), SYS02 (menus) and ygzl (employees).
class ModuleDatabase
{
public:
    explicit ModuleDatabase(const QString& connectionName = QStringLiteral("module-test"))
        : m_name(connectionName)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(m_dir.filePath(QStringLiteral("suite.db")));
        if (!m_db.open())
            throw std::runtime_error("cannot open the test database: " +
                                     m_db.lastError().text().toStdString());
        exec("create table zdb3 (proid integer primary key, parid integer, proname varchar(40), "
             "proval integer, proval1 integer, proval2 varchar(10))");
        exec("create table zdb1 (proid integer primary key, parid integer, proname varchar(40), "
             "proval varchar(20))");
        exec("create table SYS02 (cdmc varchar(40) primary key, cdxh integer, cdtb varchar(40), "
             "zxtm varchar(40), mkwj varchar(40))");
        exec("create table ygzl (memberid varchar(20) primary key, name varchar(20), depart varchar(20), "
             "group0 varchar(20), team varchar(20))");
    }
    ~ModuleDatabase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }

    QSqlDatabase db() const { return m_db; }
    QString directory() const { return m_dir.path(); }

    void exec(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(m_db);
        bool ok = q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!ok || !q.exec())
            throw std::runtime_error(sql.toStdString() + ": " + q.lastError().text().toStdString());
    }

    // A zdb3 row; `marker` "*" marks an entry attendance views leave out.
    void node(int proid, int parid, const QString& name, int order, const QVariant& marker = {},
              int proval = 1)
    {
        exec("insert into zdb3 values (?, ?, ?, ?, ?, ?)", {proid, parid, name, proval, order, marker});
    }
    void root(int proid) { node(proid, 0, QStringLiteral("部门"), 0, {}, 2); }

    // A SYS02 row; a null QVariant leaves the column null.
    void menu(const QString& cdmc, const QVariant& cdtb, const QVariant& zxtm, const QVariant& mkwj)
    {
        exec("insert into SYS02 values (?, 1, ?, ?, ?)", {cdmc, cdtb, zxtm, mkwj});
    }

private:
    QTemporaryDir m_dir;
    QString m_name;
    QSqlDatabase m_db;
};

// Records what the module menus would have started; a component may be made to fail.
class RecordingLauncher : public ModuleLauncher
{
public:
    QStringList programs, components;
    bool componentFails = false;

    bool startProgram(const QString& path) override
    {
        programs << path;
        return true;
    }
    void runComponent(const QString& className) override
    {
        components << className;
        if (componentFails)
            throw std::runtime_error("no such component");
    }
};

} // namespace talor::test
