// The PostgreSQL server goes away under the main window. The suite lives in a database of its
// own, so that ending its sessions and refusing connections to it touches no other test.
#include "db/Connections.h"
#include "entry/OperatorWindow.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;

namespace {

const QDate Day(2026, 10, 5);
const QString Database = QStringLiteral("talor_serverloss");

class ServerLossTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::optional<PostgresServer> server = talor::test::postgresTestServer();
        ASSERT_TRUE(server) << "the PostgreSQL test server is missing (TALOR_PG_* not set)";
        QSqlDatabase admin = Connections::openPostgres(u"loss_admin"_qs, *server);
        run(admin, u"drop database if exists "_qs + Database);
        run(admin, u"create database "_qs + Database);
        PostgresServer own = *server;
        own.database = Database;
        address = own.address();
        QSqlDatabase watch = Connections::openPostgres(u"loss_watch"_qs, own);

        DemoOptions options;
        options.employees = 3;
        options.days = 10;
        DemoSuite::generate(dir.filePath(u"suite"_qs), options);
        DemoSuite::fillDatabase(watch, options);
        SuiteConfig config = SuiteConfig::load(dir.filePath(u"suite/suite.ini"_qs));
        config.applicationDirectory = dir.filePath(u"suite"_qs);
        test::useServer(config, own);
        op = std::make_unique<test::Operator>(config, Day);
        ASSERT_EQ(std::pair(op->ui.messageTexts(), op->book().lastRow()),
                  std::pair(QStringList(), op->firstRow() + 2))
            << "three employees shown";
        first = op->book().text(op->firstRow(), 1);
        last = op->book().text(op->firstRow() + 2, 1);
    }
    void TearDown() override
    {
        op.reset();
        Connections::remove(u"loss_watch"_qs);
        QSqlDatabase admin = QSqlDatabase::database(u"loss_admin"_qs, false);
        if (admin.isOpen()) {
            refuseConnections(false);
            run(admin, u"drop database if exists "_qs + Database + u" with (force)"_qs);
        }
        admin = QSqlDatabase();
        Connections::remove(u"loss_admin"_qs);
    }

    static void run(QSqlDatabase db, const QString& sql)
    {
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }
    static QSqlDatabase admin() { return QSqlDatabase::database(u"loss_admin"_qs, false); }
    static QSqlDatabase watch() { return QSqlDatabase::database(u"loss_watch"_qs, false); }
    void refuseConnections(bool refuse)
    {
        run(admin(), QStringLiteral("alter database %1 allow_connections %2")
                         .arg(Database, refuse ? "false" : "true"));
    }
    QString stored(const QString& memberid)
    {
        QSqlQuery q(watch());
        q.prepare(u"select cdfz from kq0001 where memberid = ? and zhdate = ?"_qs);
        q.addBindValue(memberid);
        q.addBindValue(Day.toString(Qt::ISODate));
        EXPECT_TRUE(q.exec() && q.next()) << q.lastError().text().toStdString();
        return q.value(0).toString();
    }

    QTemporaryDir dir;
    QString address;
    std::unique_ptr<test::Operator> op;
    QString first, last;
};

// The session ends between the first and the last record of a save: nothing is saved and the
// operator is told so, the typed values stay, and the next save writes all of them.
TEST_F(ServerLossTest, SaveCutOffIsTakenBackWholeAndMadeAgainLater)
{
    const QString before = stored(first);
    run(watch(), QStringLiteral("create function cut() returns trigger language plpgsql as $$ begin "
                                "if new.memberid = '%1' then perform pg_terminate_backend(pg_backend_pid()); "
                                "end if; return new; end $$")
                     .arg(last));
    run(watch(), u"create trigger cut before update on kq0001 for each row execute function cut()"_qs);
    op->edit();
    op->type(op->firstRow(), 8, u"31"_qs); // 迟到分钟, cdfz
    op->type(op->firstRow() + 2, 8, u"32"_qs);
    refuseConnections(true);
    op->save();
    EXPECT_TRUE(op->lastMessage().contains(address) && op->lastMessage().contains(u"没有记录被保存"_qs))
        << op->lastMessage().toStdString();
    EXPECT_EQ(std::pair(stored(first), op->window->state().DataChanged), std::pair(before, true))
        << "the first record's update rolled back, editing still on";

    // Still away: said again, nothing written.
    run(watch(), u"drop trigger cut on kq0001"_qs);
    op->save();
    EXPECT_EQ(std::pair(op->lastMessage().contains(address), stored(first)), std::pair(true, before))
        << op->lastMessage().toStdString();

    refuseConnections(false);
    op->save();
    EXPECT_EQ(std::tuple(op->lastMessage(), stored(first).toDouble(), stored(last).toDouble()),
              std::tuple(u"保存完毕"_qs, 31.0, 32.0));
}

} // namespace
