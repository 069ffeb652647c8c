#pragma once

#include "support/FakeSuite.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <stdexcept>

// Sample data of the set-up tests: a table catalogue in zdb1 with four data tables under the
// "DATABASE" entry (one without "memberid") plus one under another entry, and a menu table
// SYS02 whose rows are stored out of cdxh order.
namespace talor::test::setupdata {

inline void exec(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw std::runtime_error(QString(sql + u": "_qs + query.lastError().text()).toStdString());
}

inline void fillCatalogue(const QSqlDatabase& db)
{
    for (const QString& table : {u"zdb1"_qs, u"sys02"_qs}) {
        if (db.tables().contains(table, Qt::CaseInsensitive))
            exec(db, u"drop table "_qs + table);
    }
    exec(db, u"create table zdb1 (proid integer primary key, parid integer, proname varchar(40), "
             "proval varchar(20))"_qs);
    exec(db, u"insert into zdb1 values (1, 0, '数据库', 'DATABASE'), (2, 1, '考勤表', 'KQB'), "
             "(3, 1, '加班表', 'JBB'), (4, 1, '人员表', 'RYB'), (5, 1, '日报表', 'KQRB01'), "
             "(6, 0, '其他', 'OTHER'), (7, 6, '外部表', 'WBB')"_qs);
    exec(db, u"create table SYS02 (cdxh integer primary key, cdmc varchar(40))"_qs);
    exec(db, u"insert into SYS02 values (3, '工资核算'), (1, '人事档案'), (2, '考勤统计')"_qs);
}

// The field dictionary of those tables: every table has zhdate and memberid except RYB.
inline void fillDictionary(FakeSuite& suite)
{
    for (const QString& table : {u"KQB"_qs, u"JBB"_qs, u"KQRB01"_qs, u"WBB"_qs}) {
        suite.fieldsOfTable[table][u"zhdate"_qs] = u"日期"_qs;
        suite.fieldsOfTable[table][u"memberid"_qs] = u"工号"_qs;
    }
    suite.fieldsOfTable[u"RYB"_qs][u"zhdate"_qs] = u"日期"_qs;
    suite.tableCaptions = {{u"KQB"_qs, u"考勤表"_qs},
                           {u"JBB"_qs, u"加班表"_qs},
                           {u"RYB"_qs, u"人员表"_qs},
                           {u"KQRB01"_qs, u"日报表"_qs}};
}

// Settings of the module (section TALOR, keys after the module key) as "SUFFIX=value|SUFFIX=value".
inline void setModule(FakeSuite& suite, const QString& settings)
{
    for (const QString& setting : settings.split(u'|'))
        suite.setSetting(u"TALOR"_qs, suite.moduleKeyValue + setting.section(u'=', 0, 0),
                         setting.section(u'=', 1));
}

inline const QStringList listedTables{u"KQB   考勤表"_qs, u"JBB   加班表"_qs, u"KQRB01日报表"_qs};
inline const QStringList menuNames{u"人事档案"_qs, u"考勤统计"_qs, u"工资核算"_qs};

} // namespace talor::test::setupdata
