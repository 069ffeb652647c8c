#include "db/Recordset.h"

#include "db/Connections.h"
#include "db/SharedRecords.h"
#include "db/SqlText.h"
#include "support/ErrorText.h"
#include "support/TestDatabases.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>
#include <QTimeZone>
#include <cmath>
#include <functional>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace talor;

// A cell shows as its type and text where a comparison of cells fails.
static void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << value.typeName() << ' ' << value.toString().toStdString();
}

namespace {

// Attendance rows keyed by person and day, and an employee table named in upper case.
class RecordsetTest : public talor::test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        resetTables({u"kq"_qs, u"ygzl"_qs, u"nokey"_qs, u"tx"_qs});
        exec(
            u"create table kq (memberid varchar(20) not null, zhdate date not null, name varchar(40), "
            "DEPART varchar(40), GROUP0 varchar(40), nColor integer, hours double precision, "
            "sbtime time, stamp timestamp, pay numeric(8,2), CZYXM varchar(20), primary key (memberid, zhdate))"_qs);
        exec(
            u"create table YGZL (memberid varchar(20) primary key, name varchar(40), depart varchar(40))"_qs);
        exec(u"insert into kq (memberid, zhdate, name, DEPART, GROUP0, nColor, hours, sbtime) values "
             "('002', '2024-03-05', 'Li', '01', null, 3, 7.5, '08:30:00.5'), "
             "('001', '2024-03-05', 'Wang', '01', 'A', null, 8, '00:00:00'), "
             "('003', '2024-03-05', 'Zhao', null, null, 1, 0, null), "
             "('001', '2024-03-06', 'Wang', '01', 'A', 2, 4.25, '23:59:59')"_qs);
        exec(
            u"insert into ygzl values ('1', 'Template', '01'), ('7', 'O''Neill', '02'), ('8', 'Other', '02')"_qs);
    }

    QString oneDay() const
    {
        return u"select * from kq where zhdate=" + sql::dateLiteral(QDate(2024, 3, 5), kindText()) +
               u" order by memberid";
    }

    // The texts of a field from the current row to the last.
    static QStringList rest(Recordset& rs, const QString& field)
    {
        QStringList values;
        for (; !rs.eof(); rs.moveNext())
            values.append(rs.text(field));
        return values;
    }
    // The values of a column over all rows of a fresh recordset on the statement.
    QStringList column(const QString& statement, const QString& field)
    {
        Recordset rs;
        rs.open(statement, db());
        return rest(rs, field);
    }
    // The texts of the fields of the current row.
    static QStringList textsOf(const Recordset& rs, const QStringList& fields)
    {
        QStringList values;
        for (const QString& field : fields)
            values << rs.text(field);
        return values;
    }
    // A field of row 001 on 2024-03-05, as the database holds it.
    QString stored(const QString& field)
    {
        return scalar(u"select "_qs + field + u" from kq where memberid='001' and zhdate='2024-03-05'"_qs);
    }

    QString scalar(const QString& statement)
    {
        QSqlQuery query(db());
        EXPECT_TRUE(query.exec(statement) && query.next()) << statement.toStdString();
        return query.value(0).toString();
    }

    // Sets several fields of the current row.
    static void set(Recordset& rs, std::initializer_list<std::pair<const char*, QVariant>> values)
    {
        for (const auto& [field, value] : values)
            rs.setValue(QString::fromLatin1(field), value);
    }

    // A cell as its type and value, or nothing when null: every signed whole number as a 64-bit
    // one (as the recordset holds them), not-a-number as a text (it equals nothing).
    static QVariantList cell(bool null, const QVariant& value)
    {
        if (null)
            return {};
        if (value.typeId() == QMetaType::Double && std::isnan(value.toDouble()))
            return {u"double"_qs, u"nan"_qs};
        const bool whole = value.typeId() == QMetaType::Int;
        return {whole ? u"qlonglong"_qs : QString::fromLatin1(value.typeName()), value};
    }

    static QString errorOf(const std::function<void()>& action)
    {
        return talor::test::errorText<DatabaseError>(action);
    }

    // A trigger `name` on kq that sets `target` to `value` (an expression of the row's new values)
    // in every update of `column`, in each engine's own form.
    void triggerOnUpdate(const QString& name, const QString& column, const QString& target,
                         const QString& value)
    {
        if (kind() == talor::test::DatabaseKind::Sqlite) {
            exec(u"create trigger %1 after update of %2 on kq begin update kq set %3 = %4 where rowid = "
                 "new.rowid; end"_qs.arg(name, column, target, value));
        } else {
            exec(
                u"create or replace function %1() returns trigger language plpgsql as $$ begin new.%2 := %3; "
                "return new; end $$"_qs.arg(name, target, value));
            exec(u"create trigger %1 before update of %2 on kq for each row execute function %1()"_qs.arg(
                name, column));
        }
    }
};

TEST_P(RecordsetTest, ReadsRowsInOrderRewindsReopensAndFailsNamingTheStatement)
{
    Recordset rs;
    rs.open(u"select * from kq where memberid='nobody'"_qs, db());
    // An empty result knows its fields.
    EXPECT_EQ(std::tuple(rs.eof(), rs.recordCount(), rs.hasField(u"CZYXM"_qs)), std::tuple(true, 0, true));
    rs.moveFirst();
    EXPECT_TRUE(rs.eof());

    // Opening an open recordset closes it first.
    rs.open(oneDay(), db());
    EXPECT_EQ(std::pair(rs.recordCount(), rs.source()), std::pair(3, oneDay()));
    EXPECT_EQ(rest(rs, u"memberid"_qs), (QStringList{u"001"_qs, u"002"_qs, u"003"_qs}));
    EXPECT_THROW(rs.moveNext(), DatabaseError);
    EXPECT_THROW(rs.value(u"name"_qs), DatabaseError);
    rs.moveFirst();
    EXPECT_EQ(std::tuple(rs.position(), rs.text(u"name"_qs), rs.value(u"hours"_qs).toDouble()),
              std::tuple(0, u"Wang"_qs, 8.0));
    rs.close();
    EXPECT_EQ(std::pair(rs.isOpen(), rs.eof()), std::pair(false, true));

    // A failing statement throws naming it; a failure after the first row is the rows' read
    // failing. One without rows opens empty.
    const QString bad = u"select * from no_such_table where memberid='1'"_qs,
                  late =
                      u"select abs(n) from (select 1 as n union all select -9223372036854775807 - 1) as t"_qs;
    EXPECT_TRUE(errorOf([&] { rs.open(bad, db()); }).contains(bad));
    EXPECT_TRUE(errorOf([&] { rs.open(late, db()); }).startsWith(u"reading the rows failed: "_qs));
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.open(oneDay(), QSqlDatabase()), DatabaseError);

    rs.open(u"update kq set CZYXM='x' where memberid='001'"_qs, db(), Recordset::SomeRows,
            Recordset::AnyStatement);
    EXPECT_EQ(std::pair(rs.isOpen(), rs.eof()), std::pair(true, true));
    EXPECT_EQ(scalar(u"select count(*) from kq where czyxm='x'"_qs), u"2"_qs);
}

// A share holds its own rows with their texts, whether they lie together in the read (as a
// read ordered by share gives them) or among other shares' rows; an empty text and a null too.
TEST_P(RecordsetTest, AShareHoldsItsOwnRowsWhereverTheyLieInTheRead)
{
    exec(u"update kq set depart = '' where memberid = '003'"_qs);
    // Share numbers as an engine may hand them over: whole, a text, a real; PostgreSQL's bigint
    // comes unsigned.
    const QString
        fields = u"select memberid, name, depart, hours"_qs,
        share =
            kind() == talor::test::DatabaseKind::Sqlite
                ? u", case memberid when '001' then 0 when '002' then '2' else 1.0 end as talor_share"_qs
                : u", cast(case memberid when '001' then 0 when '002' then 2 else 1 end as bigint) as talor_share"_qs;
    // The field names (the share number is none of them), the first row's department found by
    // name and every cell.
    const auto held = [](Recordset& r) {
        QVariantList values{r.fieldNames(), r.hasField(u"talor_share"_qs), r.text(u"DEPART"_qs)};
        for (; !r.eof(); r.moveNext())
            values << r.value(0) << r.value(1) << r.value(2) << r.value(3);
        return values;
    };
    for (const QString& order : {u"memberid, zhdate"_qs, u"zhdate, memberid"_qs}) {
        SharedRecords shared;
        shared.open(fields + share + u" from kq order by "_qs + order, db());
        for (const QString& number : {u"001"_qs, u"003"_qs, u"002"_qs}) {
            const QString own =
                fields + u" from kq where memberid = '"_qs + number + u"' order by "_qs + order;
            Recordset rs, expected;
            shared.shareInto(number == u"001"_qs ? 0 : number == u"002"_qs ? 2 : 1, own, rs);
            expected.open(own, db());
            EXPECT_EQ(std::tuple(rs.source(), held(rs)), std::tuple(own, held(expected)))
                << order.toStdString() << " / " << number.toStdString();
        }
    }
    // A share is saved as the person's own read is: on the read's connection, checked as read.
    SharedRecords shared;
    const QString own = u"select * from kq where memberid = '001' order by zhdate"_qs;
    shared.open(u"select *, 0 from kq where memberid = '001' order by zhdate"_qs, db());
    Recordset rs;
    shared.shareInto(0, own, rs);
    rs.setValue(u"hours"_qs, 9);
    rs.update();
    EXPECT_EQ(column(own, u"hours"_qs), QStringList({u"9"_qs, u"4.25"_qs}));

    // Anything but a whole number of a share is refused, naming the row.
    for (const char* number : {"null", "-1", "16777217", "cast(2.5 as real)"}) {
        const QString read = u"select memberid, "_qs + QString::fromLatin1(number) + u" from kq"_qs;
        EXPECT_TRUE(errorOf([&] { shared.open(read, db()); }).contains(u"row 0 has no share number"_qs))
            << number;
    }
}

// A share of a SQLite read without an order is put in the order that ordering it by one field
// alone gives under every collation of SQLite's, or left as it came when that order is not
// certain.
TEST_P(RecordsetTest, AShareOfAnUnorderedSqliteReadIsPutInOrderOnlyWhenThatOrderIsCertain)
{
    if (kind() != talor::test::DatabaseKind::Sqlite)
        GTEST_SKIP() << "PostgreSQL orders the shared read itself";
    // clang-format off
    const struct { const char* values; const char* order; bool certain; } cases[] = {
        {"'2026-10-03'), ('2026-10-01'), ('2026-10-02'", "2026-10-01,2026-10-02,2026-10-03", true},
        {"10), (9), (-1", "-1,9,10", true},     {"2.5), (-1.5", "-1.5,2.5", true},
        {"'a'", "a", true},                      {"'b'), ('a'), ('b'", "b,a,b", false},
        {"'2'), (1", "2,1", false},              {"2.0), (1", "2,1", false},
        {"'08:00'), ('08:00 '", "08:00,08:00 ", false},
        {"'b'), ('A'", "b,A", false},            {"'z'), ('Z'", "z,Z", false},
        {"'é'), ('e'", "é,e", false},
        {"'a'), (null", "a,", false}};
    // clang-format on
    for (const auto& c : cases) {
        SharedRecords shared;
        shared.open(u"select column1 as d, 0 from (values ("_qs + QString::fromUtf8(c.values) + u"))"_qs,
                    db());
        Recordset rs;
        EXPECT_EQ(shared.putInOrder(0, u"D"_qs), c.certain) << c.values;
        shared.shareInto(0, u"select"_qs, rs);
        QStringList order;
        for (; !rs.eof(); rs.moveNext())
            order << rs.text(0);
        EXPECT_EQ(order.join(u','), QString::fromUtf8(c.order)) << c.values;
    }

    // A share put in order saves as the person's own read: by each row's key, and a change
    // another operator saved between two saves is a conflict that writes nothing.
    SharedRecords shared;
    shared.open(u"select *, 0 from kq where memberid = '001' order by zhdate desc"_qs, db());
    ASSERT_TRUE(shared.putInOrder(0, u"zhdate"_qs));
    Recordset rs;
    shared.shareInto(0, u"select * from kq where memberid = '001' order by zhdate"_qs, rs);
    rs.setValue(u"hours"_qs, 9);
    rs.update();
    QSqlDatabase other = openAnother(u"other"_qs);
    ASSERT_TRUE(
        QSqlQuery(other).exec(u"update kq set hours = 22 where memberid='001' and zhdate='2024-03-05'"_qs));
    rs.setValue(u"hours"_qs, 10);
    EXPECT_THROW(rs.update(), ConflictError);
    rs.moveNext();
    rs.setValue(u"hours"_qs, 5);
    rs.update();
    EXPECT_EQ(column(u"select hours from kq where memberid='001' order by zhdate"_qs, u"hours"_qs),
              QStringList({u"22"_qs, u"5"_qs}));
}

// Many rows on PostgreSQL travel as the statement's copy stream, outside a transaction only; the
// statement runs once even where a value needs Qt SQL's conversion, and fails as it would
// otherwise.
TEST_P(RecordsetTest, ManyRowsOnPostgresTravelAsACopyThatRunsTheStatementOnce)
{
    if (kind() != talor::test::DatabaseKind::Postgres)
        GTEST_SKIP() << "SQLite has no copy stream";
    // Whether the server saw the statement inside a copy.
    const auto copied = [this](Recordset::Expected expected, Recordset::Access access = Recordset::Reading) {
        Recordset rs;
        rs.open(u"select current_query() as q"_qs, db(), expected, access);
        return rs.text(0).startsWith(u"COPY ("_qs);
    };
    // The readers this run reads through (the tests run once with each).
    const Recordset::RowReaders readers = Recordset::rowReaders();
    const bool copies = readers != Recordset::RowReaders::QtSqlOnly;
    EXPECT_EQ(std::tuple(copied(Recordset::ManyRows), copied(Recordset::SomeRows),
                         copied(Recordset::ManyRows, Recordset::AnyStatement)),
              std::tuple(copies, readers == Recordset::RowReaders::CopyWherePossible, copies));
    ASSERT_TRUE(db().transaction());
    EXPECT_FALSE(copied(Recordset::ManyRows, Recordset::AnyStatement));
    EXPECT_TRUE(errorOf([&] { copied(Recordset::ManyRows); }).contains(u"inside a transaction"_qs));
    ASSERT_TRUE(db().rollback());

    resetTables({u"tx"_qs});
    exec(u"drop sequence if exists sq"_qs);
    exec(u"create sequence sq"_qs);
    exec(u"create table tx (n integer primary key, d date, t time)"_qs);
    exec(u"insert into tx values (1, '2024-03-05', '08:30:00'), (2, '4713-01-01 BC', '08:30:00.5'), "
         "(3, 'infinity', null)"_qs);
    Recordset rs;
    rs.open(u"select nextval('sq') as k, d, t from tx order by n"_qs, db(), Recordset::ManyRows,
            Recordset::AnyStatement);
    EXPECT_EQ(rest(rs, u"k"_qs), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs}));
    EXPECT_EQ(scalar(u"select last_value from sq"_qs), u"3"_qs);
    // A copy refuses a statement ending with ";": Qt SQL reads it as it is, outside a read.
    rs.open(u"select nextval('sq');"_qs, db(), Recordset::ManyRows, Recordset::AnyStatement);
    EXPECT_EQ(rs.text(0), u"4"_qs);

    const auto failure = [this](Recordset::Expected expected) {
        return errorOf([&] { Recordset().open(u"select n from tx where"_qs, db(), expected); });
    };
    EXPECT_EQ(failure(Recordset::ManyRows), failure(Recordset::SomeRows));

    // The session ends in the middle of the stream: the read fails, naming the statement, and
    // the next statement runs on a session made again.
    const QString cut = u"select n, case when n = 1500 then pg_terminate_backend(pg_backend_pid()) end as k "
                        "from generate_series(1, 3000) as n"_qs;
    EXPECT_TRUE(
        errorOf([&] { Recordset().open(cut, db(), Recordset::ManyRows); }).contains(u"generate_series"_qs));
    Recordset after;
    after.open(u"select count(*) from tx"_qs, db(), Recordset::ManyRows);
    EXPECT_EQ(after.text(0), u"3"_qs);
    EXPECT_NO_THROW(copied(Recordset::SomeRows)) << "the session is usable";

    // The server ends the idle session (a restart, an idle timeout): the next read begins on a
    // session made again.
    QSqlDatabase other = openAnother(u"ender"_qs);
    for (const auto expected : {Recordset::SomeRows, Recordset::ManyRows}) {
        const QString pid = scalar(u"select pg_backend_pid()"_qs);
        QSqlQuery(other).exec(u"select pg_terminate_backend("_qs + pid + u", 5000)"_qs);
        Recordset again;
        EXPECT_NO_THROW(again.open(u"select count(*) from tx"_qs, db(), expected));
        EXPECT_EQ(again.isOpen() ? again.text(0) : QString(), u"3"_qs);
    }
    // Inside a transaction a statement is not run again on a new session: the transaction's
    // work went with the old one.
    auto scope = std::make_optional<TransactionScope>(db());
    QSqlQuery(other).exec(u"select pg_terminate_backend("_qs + scalar(u"select pg_backend_pid()"_qs) +
                          u", 5000)"_qs);
    EXPECT_THROW(Recordset().open(u"insert into tx (n) values (9)"_qs, db(), Recordset::SomeRows,
                                  Recordset::AnyStatement),
                 ConnectionLostError);
    scope.reset();
    EXPECT_EQ(column(u"select count(*) as c from tx"_qs, u"c"_qs), QStringList{u"3"_qs});
}

// A recordset reads its rows through the engine's own library; every cell must still be the
// value Qt SQL reads (type and content), for the common forms and the odd ones that go through
// Qt SQL's conversion after all: extreme numbers, not-a-number, dates before the common era or
// infinite, fractions of a second, timestamps, bytes, texts that are not UTF-8.
TEST_P(RecordsetTest, EveryCellIsTheValueQtSqlReads)
{
    const bool postgres = kind() == talor::test::DatabaseKind::Postgres;
    exec(u"create table tx (n integer primary key, i integer, b bigint, r double precision, "
         "m numeric(30,10), f boolean, d date, t time, s timestamp, v varchar(200), x "_qs +
         (postgres ? u"bytea)"_qs : u"blob)"_qs));
    // clang-format off
    exec(u"insert into tx values (1, 0, 0, 0.1, 0.5, true, '2024-02-29', '00:00:00', '2024-03-05 08:30:00', "
         "'Wang', null), (2, -2147483648, -9223372036854775808, -1e300, -12345678901234567890.1234567891, false, "
         "'0001-01-01', '23:59:59', '1999-12-31 23:59:59.5', '生产部', null), (3, 2147483647, 9223372036854775807, "
         "4.9e-324, 0, null, '9999-12-31', '08:30:00.5', null, '', null), (4, null, null, null, null, null, null, "
         "null, null, null, null)"_qs);
    // clang-format on
    if (postgres) {
        exec(u"insert into tx (n, r, d, x) values (5, 'NaN', '4713-01-01 BC', '\\x00ff'), "
             "(6, 'Infinity', 'infinity', '\\x'), (7, '-Infinity', '-infinity', null)"_qs);
    } else {
        exec(u"insert into tx (n, r, v, x) values (5, 9e999, cast(x'c3' as text), x'00ff'), "
             "(6, -9e999, cast(x'61c080' as text), x''), (7, 1, 'x' || char(0) || 'y', null)"_qs);
    }
    // Texts of every kind of character and length, alone or escaped next to others in a row:
    // two- and three-byte characters, those around the surrogates, a pair of surrogates, 64
    // and 65 characters (the longest kept without a copy and one more), the copy's escapes.
    // clang-format off
    const QStringList texts{u"Müller"_qs, QString(QChar(0xD7FF)) + QChar(0xE000) + QChar(0xFFFD) + QChar(0x7FF) + QChar(0x800),
                            u"a😀b"_qs, QString(64, QChar(0x4E00)), QString(65, QChar(0x4E00)), QString(63, u'x') + u"😀"_qs,
                            u"tab\tnew line\ncr\rback\\slash\\N\b\f\v\a end\\"_qs, u"\\N"_qs};
    // clang-format on
    // Bound, so that the stored texts are these whatever the product's quoting does.
    QSqlQuery insert(db());
    insert.prepare(u"insert into tx (n, v) values (?, ?)"_qs);
    for (int i = 0; i < texts.size(); ++i) {
        insert.addBindValue(8 + i);
        insert.addBindValue(texts[i]);
        ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
    }
    // All of it, and the columns PostgreSQL's copy stream carries (bytes and timestamps go
    // through Qt SQL's conversion), expected in many rows or not, under each precision a caller
    // may set on the connection; and a function of no value.
    QStringList statements{u"select * from tx order by n"_qs,
                           u"select n, i, b, r, m, f, d, t, v, \"i\" + 0 from tx order by n"_qs};
    if (postgres)
        statements.append(u"select n, pg_sleep(0) as z from tx order by n"_qs);
    for (const auto policy :
         {QSql::HighPrecision, QSql::LowPrecisionInt32, QSql::LowPrecisionInt64, QSql::LowPrecisionDouble})
        for (const QString& statement : statements)
            for (const Recordset::Expected expected : {Recordset::SomeRows, Recordset::ManyRows}) {
                db().setNumericalPrecisionPolicy(policy);
                SCOPED_TRACE(statement.toStdString() +
                             (expected == Recordset::ManyRows ? " (many rows)" : "") + " precision " +
                             std::to_string(policy));
                QSqlQuery qt(db());
                ASSERT_TRUE(qt.exec(statement)) << qt.lastError().text().toStdString();
                Recordset rs;
                rs.open(statement, db(), expected);
                EXPECT_EQ(rs.hasField(u"D"_qs), statement.contains(u" d,"_qs) || statement.contains(u"*"_qs));
                // Row by row, each field's name and cell.
                QList<QVariantList> mine, theirs;
                for (; !rs.eof(); rs.moveNext()) {
                    mine.emplace_back();
                    for (int c = 0; c < rs.fieldNames().size(); ++c)
                        mine.back() << rs.fieldNames()[c] << cell(rs.isNull(c), rs.value(c));
                }
                while (qt.next()) {
                    theirs.emplace_back();
                    for (int c = 0; c < qt.record().count(); ++c)
                        theirs.back() << qt.record().fieldName(c) << cell(qt.value(c).isNull(), qt.value(c));
                }
                EXPECT_EQ(std::pair(mine.size(), mine), std::pair(7 + texts.size(), theirs));
            }
}

// A second statement after a ";" is refused, not run, as Qt SQL's SQLite driver does.
// A read runs one statement that writes nothing, on both engines and both ways of reading:
// a second statement, a write inside one statement and a function that writes are refused
// with the engine's own words, and the table is as it was. The connection writes again after.
TEST_P(RecordsetTest, AReadRunsOneStatementThatCannotWrite)
{
    const bool postgres = kind() == talor::test::DatabaseKind::Postgres;
    // The words of the engine, in the error; none: the server runs it, and it is undone.
    const QString several = postgres ? u"multiple commands"_qs : u"multiple statements"_qs;
    const QString readOnly = postgres ? u"read-only transaction"_qs : u"readonly"_qs;
    // clang-format off
    const struct { QString sql, words; } refused[] = {
        {u"select * from kq where 1=1; delete from kq where memberid='001'; --"_qs, several},
        {u"select * from kq where 1=1; commit; delete from kq; --"_qs, several},
        {postgres ? u"with gone as (delete from kq returning *) select * from gone"_qs : u"delete from kq where memberid='001'"_qs, readOnly},
        {postgres ? u"select * from kq where nextval('kq_seq') > 0"_qs
                  : u"select * from kq; insert into kq (memberid, zhdate) values ('9', '2024-01-01')"_qs, postgres ? readOnly : several},
        {postgres ? u"select * from kq where (select lo_create(0)) > 0"_qs : u"select * from kq"_qs, {}}};
    // clang-format on
    if (postgres) {
        exec(u"drop sequence if exists kq_seq"_qs);
        exec(u"create sequence kq_seq"_qs);
    }
    for (const Recordset::Expected expected : {Recordset::SomeRows, Recordset::ManyRows}) {
        for (const auto& c : refused) {
            SCOPED_TRACE(c.sql.toStdString());
            Recordset rs;
            if (c.words.isEmpty())
                EXPECT_NO_THROW(rs.open(c.sql, db(), expected));
            else
                EXPECT_TRUE(errorOf([&] { rs.open(c.sql, db(), expected); }).contains(c.words));
            EXPECT_EQ(scalar(u"select count(*) from kq"_qs), u"4"_qs);
        }
    }
    EXPECT_TRUE(!postgres || scalar(u"select count(*) from pg_largeobject_metadata"_qs) == u"0"_qs)
        << "lo_create taken back";
    Recordset rs;
    rs.open(u"select * from kq order by memberid, zhdate;  "_qs, db());
    EXPECT_EQ(rs.recordCount(), 4);
    rs.setValue(u"memberid"_qs, u"000"_qs);
    EXPECT_NO_THROW(rs.update()) << "the connection writes again";
    EXPECT_EQ(scalar(u"select count(*) from kq where memberid='000'"_qs), u"1"_qs);
}

// Whatever makes an update fail, before or after the key was written, the row holds again
// what it was read with (its key too), the table is unchanged, the refused changes are
// dropped, and the row saves again by its old key. Another operator's change of a changed
// column (one that was null too) or deletion of the row is refused with its own reason; a
// row that cannot be read back (a trigger moves it to another key) undoes the update. The
// table was written before the trigger came: its facts are looked up again.
TEST_P(RecordsetTest, AFailedUpdateLeavesTheRowAsItWasRead)
{
    const bool sqlite = kind() == talor::test::DatabaseKind::Sqlite;
    QSqlDatabase other = openAnother(u"other"_qs);
    // Another operator's statement on row 001/05, or what runs before the update; what puts
    // the row back after it.
    const auto onOther = [&](const char* set) {
        return std::function<void()>([&other, set] {
            QSqlQuery(other).exec(QString::fromLatin1(set) +
                                  u" where memberid='001' and zhdate='2024-03-05'"_qs);
        });
    };
    // clang-format off
    const struct { const char* name; std::function<void()> before; QString after;
                   std::initializer_list<std::pair<const char*, QVariant>> changes; const char* error; } cases[] = {
        {"DeletedMeanwhile", onOther("delete from kq"), u"insert into kq (memberid, zhdate, name, DEPART, GROUP0, hours) "
         "values ('001', '2024-03-05', 'Wang', '01', 'A', 8)"_qs, {{"name", u"Mine"_qs}}, "was deleted by"},
        {"NullChangedMeanwhile", onOther("update kq set ncolor = 1"), u"update kq set ncolor = null"_qs, {{"nColor", 2}}, "was changed by"},
        {"ChangedMeanwhile", onOther("update kq set hours = 1"), u"update kq set hours = 8"_qs,
         {{"zhdate", QDate(2024, 3, 9)}, {"hours", 2}}, "was changed by"},
        {"KeyTaken", [] {}, {}, {{"memberid", u"002"_qs}, {"name", u"Taken"_qs}}, "kq"},
        {"NoRowToReadBack", [&] { triggerOnUpdate(u"kq_move"_qs, u"name"_qs, u"memberid"_qs, u"new.memberid || 'x'"_qs); },
         u"drop trigger kq_move"_qs + (sqlite ? u""_qs : u" on kq"_qs), {{"zhdate", QDate(2024, 3, 9)}, {"memberid", u"009"_qs}, {"name", u"Moved"_qs}},
         "reading back"}};
    // clang-format on
    const QStringList fields{u"memberid"_qs, u"zhdate"_qs, u"name"_qs, u"hours"_qs, u"nColor"_qs};
    const auto table = [&] {
        return column(u"select memberid || name || hours as r from kq order by 1"_qs, u"r"_qs);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = table();
        Recordset rs;
        rs.open(oneDay(), db());
        const QStringList read = textsOf(rs, fields);
        c.before();
        set(rs, c.changes);
        EXPECT_TRUE(errorOf([&] { rs.update(); }).contains(QString::fromUtf8(c.error)));
        if (c.after.startsWith(u"update"_qs))
            exec(c.after + u" where memberid='001' and zhdate='2024-03-05'"_qs);
        else if (!c.after.isEmpty())
            exec(c.after);
        EXPECT_EQ(std::pair(textsOf(rs, fields), table()), std::pair(read, before));
        rs.setValue(u"CZYXM"_qs, u"again"_qs);
        EXPECT_NO_THROW(rs.update());
        EXPECT_EQ(stored(u"czyxm"_qs), u"again"_qs);
        exec(u"update kq set czyxm = null"_qs);
    }
}

// Numbers read as text: plain decimals from 1e-6 up to below 1e15, exponents outside.
TEST_P(RecordsetTest, NumbersReadAsTextSwitchToExponentsAtTheirEdges)
{
    QStringList columns;
    for (const QString& literal : u"999999999999999.0 1e15 -1e15 123456789012345.5 0.000001 0.0000009 "
                                  "-0.000001 0.0 1000000.0 0.25"_qs.split(u' '))
        columns << u"cast("_qs + literal + u" as double precision) as v"_qs + QString::number(columns.size());
    Recordset rs;
    rs.open(u"select "_qs + columns.join(u", "_qs), db());
    EXPECT_EQ(textsOf(rs, rs.fieldNames()).join(u' '),
              u"999999999999999 1e+15 -1e+15 123456789012345.5 0.000001 9e-07 -0.000001 0 "
              "1000000 0.25"_qs);
}

// A written row is read back in the update's own transaction: it shows, and is checked against,
// what the database stored (PostgreSQL rounds the numeric to two places). A change another
// operator saves after it, to the same columns, is refused at the next update as a conflict,
// inside a transaction of the caller's too.
TEST_P(RecordsetTest, AWrittenRowHoldsWhatWasStoredAndALaterChangeByOthersIsAConflict)
{
    const bool rounds = kind() == talor::test::DatabaseKind::Postgres;
    QSqlDatabase other = openAnother(u"other"_qs);
    Recordset rs;
    rs.open(oneDay(), db());
    rs.setValue(u"pay"_qs, 13.255);
    rs.update();
    EXPECT_EQ(rs.text(u"pay"_qs), rounds ? u"13.26"_qs : u"13.255"_qs);
    set(rs, {{"pay", 14}, {"hours", 2}});
    EXPECT_NO_THROW(rs.update()) << "checked against the value stored, not the one written";

    ASSERT_TRUE(QSqlQuery(other).exec(u"update kq set hours = 22 where memberid='001'"_qs));
    TransactionScope scope(db());
    rs.setValue(u"hours"_qs, 33);
    EXPECT_TRUE(errorOf([&] { rs.update(); }).contains(u"was changed by"_qs));
    EXPECT_EQ(stored(u"hours"_qs).toDouble(), 22.0);
}

// Fields checked beside the changed one: another's save of one since the read (a value, a null
// made a value, a time) is a conflict and writes nothing; of a field not checked it is not.
TEST_P(RecordsetTest, CheckedFieldsChangedByOthersSinceTheReadAreAConflict)
{
    const QString row = u"select * from kq where memberid='003'"_qs;
    // clang-format off
    const struct { const char* others; bool conflict; } cases[] = {
        {"hours=1", true}, {"DEPART='02'", true}, {"sbtime='08:00'", true},
        {"name='Zhao2'", false}, {"hours=0", false}};
    // clang-format on
    for (const auto& [others, conflict] : cases) {
        SCOPED_TRACE(others);
        exec(
            u"update kq set hours=0, DEPART=null, sbtime=null, pay=2.25, name='Zhao', nColor=1 where memberid='003'"_qs);
        Recordset rs;
        rs.open(row, db());
        rs.setCheckedFields(
            {u"hours"_qs, u"depart"_qs, u"sbtime"_qs, u"pay"_qs, u"nColor"_qs, u"memberid"_qs});
        exec(u"update kq set "_qs + QString::fromUtf8(others) + u" where memberid='003'"_qs);
        rs.setValue(u"nColor"_qs, 7);
        if (conflict)
            EXPECT_THROW(rs.update(), ConflictError);
        else
            EXPECT_NO_THROW(rs.update());
        EXPECT_EQ(column(row, u"nColor"_qs), QStringList{conflict ? u"1"_qs : u"7"_qs});
    }

    // A trigger changes a checked field with each update: the row then holds what the trigger
    // stored, and the next save of it is no conflict.
    exec(u"update kq set hours=0 where memberid='003'"_qs);
    triggerOnUpdate(u"kq_hours"_qs, u"nColor"_qs, u"hours"_qs, u"new.hours + 1"_qs);
    Recordset rs;
    rs.open(row, db());
    rs.setCheckedFields({u"hours"_qs});
    for (int colour : {8, 9}) {
        rs.setValue(u"nColor"_qs, colour);
        EXPECT_NO_THROW(rs.update()) << colour;
    }
    EXPECT_EQ(column(row, u"hours"_qs), QStringList{u"2"_qs});
}

// A checked field of a type whose value does not come back as it compares (a timestamp or time
// with a zone, a numeric of 18 digits, json) or of a less common one is left unchecked rather
// than always a conflict.
TEST_P(RecordsetTest, CheckedFieldsOfEveryTypeSaveWhenNobodyChangedThem)
{
    resetTables({u"odd"_qs});
    const bool sqlite = kind() == talor::test::DatabaseKind::Sqlite;
    exec(u"create table odd (k integer primary key, t text, r real, n numeric(6,1), b boolean, i smallint, "
         "bi bigint, d double precision, nn numeric(20,4), ts "_qs +
         (sqlite ? u"timestamp, tt text, j text, ba blob, iv text, ar text)"_qs
                 : u"timestamptz, tt timetz, j json, ba bytea, iv interval, ar int[])"_qs));
    exec(u"insert into odd values (1, 'x', 7.1, 7.1, true, 3, 9007199254740993, 0.1, 12345678901234.5678, "
         "'2024-03-05 08:30:15.123456+08', '08:30:00+02', '{\"a\":1}', "_qs +
         (sqlite ? u"x'0102', '1 day', '{1,2}')"_qs : u"'\\x0102', '1 day 2 hours', '{1,2}')"_qs));
    for (const char* field : {"r", "n", "b", "i", "bi", "d", "nn", "ts", "tt", "j", "ba", "iv", "ar"}) {
        Recordset rs;
        rs.open(u"select * from odd"_qs, db());
        rs.setCheckedFields({QString::fromLatin1(field)});
        rs.setValue(u"t"_qs, QString::fromLatin1(field));
        EXPECT_NO_THROW(rs.update()) << field;
    }
}

// Another process holds SQLite's write lock for a while and commits: a transaction that
// writes after reading waits for it (the busy wait) instead of failing at once with "database
// is locked", and does not overwrite what the other process wrote.
TEST_P(RecordsetTest, ASaveWaitsForAnotherProcessesWriteLock)
{
    if (kind() != talor::test::DatabaseKind::Sqlite)
        GTEST_SKIP() << "PostgreSQL locks rows, not the database";
    QSqlDatabase other = openAnother(u"other"_qs);
    Recordset rs;
    rs.open(oneDay(), db());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        QSqlQuery query(other);
        const bool locked = query.exec(u"BEGIN IMMEDIATE"_qs) &&
                            query.exec(u"update kq set name = 'B' where memberid = '003'"_qs);
        (void)!::write(ready[1], locked ? "y" : "n", 1);
        ::usleep(600 * 1000);
        ::_exit(query.exec(u"COMMIT"_qs) ? 0 : 1);
    }
    char locked = 0;
    ASSERT_TRUE(::read(ready[0], &locked, 1) == 1 && locked == 'y');
    {
        TransactionScope scope(db());
        ASSERT_TRUE(scope.active()) << scope.lastError().text().toStdString();
        rs.setValue(u"hours"_qs, 5.0);
        EXPECT_NO_THROW(rs.update());
        EXPECT_TRUE(scope.commit());
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(std::tuple(status, column(oneDay(), u"name"_qs), stored(u"hours"_qs).toDouble()),
              std::tuple(0, QStringList{u"Wang"_qs, u"Li"_qs, u"B"_qs}, 5.0));
}

// A transaction that cannot begin because one is open on the session leaves that session and
// its work as they are: it is not connected again, which would drop the open transaction.
TEST_P(RecordsetTest, ATransactionThatCannotBeginLeavesTheSessionsOpenWork)
{
    if (kind() != talor::test::DatabaseKind::Sqlite)
        GTEST_SKIP() << "PostgreSQL begins over an open transaction, with a warning";
    QSqlQuery open(db());
    ASSERT_TRUE(open.exec(u"BEGIN"_qs) && open.exec(u"update kq set name = 'B' where memberid = '003'"_qs));
    const int session = Connections::generation(db());
    EXPECT_FALSE(TransactionScope(db()).active());
    EXPECT_TRUE(open.exec(u"COMMIT"_qs));
    EXPECT_EQ(std::pair(Connections::generation(db()), column(oneDay(), u"name"_qs)),
              std::pair(session, QStringList{u"Wang"_qs, u"Li"_qs, u"B"_qs}));
}

TEST_P(RecordsetTest, OnlyChangedValuesAreWrittenWhenMovingOnAndClosingDropsThem)
{
    // Another operator saves the same row from a connection of their own.
    Recordset theirs, mine;
    theirs.open(oneDay(), openAnother(u"other"_qs));
    mine.open(oneDay(), db());
    theirs.setValue(u"hours"_qs, 6.5);
    theirs.update();

    // The sheet writes every cell back; values equal to those read are not changes, nor is a
    // value set back to the one read; a value cleared is one.
    set(mine,
        {{"hours", 8}, {"name", u"Li"_qs}, {"name", u"Wang"_qs}, {"nColor", 4}, {"GROUP0", QVariant()}});
    EXPECT_NO_THROW(mine.update());
    EXPECT_EQ(stored(u"hours || '/' || ncolor || '/' || name || '/' || coalesce(group0, '-')"_qs),
              u"6.5/4/Wang/-"_qs);

    // Moving on writes the unsaved changes; closing drops them.
    mine.setValue(u"CZYXM"_qs, u"op"_qs);
    mine.moveNext();
    mine.setValue(u"CZYXM"_qs, u"op"_qs);
    mine.moveFirst();
    mine.setValue(u"CZYXM"_qs, u"dropped"_qs);
    mine.close();
    EXPECT_EQ(column(oneDay(), u"czyxm"_qs), (QStringList{u"op"_qs, u"op"_qs, QString()}));
}

TEST_P(RecordsetTest, DatesAndTimesAreWrittenSoTheDatabaseComparesThem)
{
    Recordset rs;
    rs.open(u"select * from kq where memberid='003'"_qs, db());
    // A time handed over as a date-time (as the text functions read one) keeps the column's form.
    set(rs, {{"sbtime", QDateTime(QDate(1899, 12, 30), QTime(8, 30))},
             {"stamp", QDateTime(QDate(2024, 3, 5), QTime(17, 45, 10))}});
    rs.update();
    const QString after5pm = u"select * from kq where stamp>'2024-03-05 17:00:00' and stamp<'2024-03-06'"_qs;
    EXPECT_EQ(column(u"select * from kq where sbtime='08:30:00'"_qs, u"memberid"_qs) +
                  column(after5pm, u"stamp"_qs),
              (QStringList{u"003"_qs, u"2024-03-05 17:45:10"_qs}));

    // A key date is itself changed: the row moves to another day, found by its old key.
    rs.setValue(u"zhdate"_qs, QDateTime(QDate(2024, 3, 7), QTime(0, 0)));
    rs.update();
    const QString day7 = u"select * from kq where zhdate=" + sql::dateLiteral(QDate(2024, 3, 7), kindText());
    EXPECT_EQ(column(day7, u"memberid"_qs) + column(day7, u"zhdate"_qs),
              (QStringList{u"003"_qs, u"2024-03-07"_qs}));
    // And the row, read back as stored, saves again.
    set(rs, {{"sbtime", QTime(9, 0, 5)}, {"stamp", QDateTime(QDate(2024, 3, 7), QTime(6, 0))}});
    EXPECT_NO_THROW(rs.update());
    EXPECT_EQ(column(u"select * from kq where sbtime='09:00:05'"_qs, u"stamp"_qs),
              QStringList{u"2024-03-07 06:00:00"_qs});

    // Times another program stored finer than the milliseconds read are the times read: the
    // row saves; a time changed by someone else since is still a conflict.
    exec(u"update kq set sbtime='00:00:00.0004', stamp='2024-03-07 23:59:59.9996' where memberid='003'"_qs);
    rs.open(u"select * from kq where memberid='003'"_qs, db());
    set(rs, {{"sbtime", QTime(9, 0)}, {"stamp", QDateTime(QDate(2024, 3, 8), QTime(6, 0))}});
    EXPECT_NO_THROW(rs.update());
    exec(u"update kq set sbtime='09:00:00.002' where memberid='003'"_qs);
    rs.setValue(u"sbtime"_qs, QTime(10, 0));
    EXPECT_THROW(rs.update(), ConflictError);

    // A time of day typed for a date-time column keeps the day the row holds there; one that
    // holds none there (002) takes the spreadsheet's day zero.
    for (const auto& [member, stamp] :
         {std::pair(u"003"_qs, u"2024-03-08 07:15:00"_qs), {u"002"_qs, u"1899-12-30 07:15:00"_qs}}) {
        const QString row = u"select * from kq where memberid='"_qs + member + u"'"_qs;
        rs.open(row, db());
        rs.setValue(u"stamp"_qs, QTime(7, 15));
        EXPECT_NO_THROW(rs.update());
        EXPECT_EQ(column(row, u"stamp"_qs), QStringList{stamp});
    }
}

// Update finds the row by the key of the one table a statement reads, whatever the case of its
// name ("İ" lower-cases to two characters: the name is still read from its place) and whatever
// "from" a quoted text or name holds. Values are bound, never spliced into the statement. A
// statement of several tables, a table without a key or a read without the key is refused.
TEST_P(RecordsetTest, UpdateFindsTheRowByTheKeyOfItsOneTable)
{
    exec(u"create table nokey (memberid varchar(20), name varchar(40))"_qs);
    exec(u"insert into nokey values ('1', 'a')"_qs);
    // clang-format off
    const std::pair<QString, QString> cases[] = {{u"SELECT * FROM YGZL WHERE memberid='1'"_qs, {}}, {u"select * from ygzl;"_qs, {}},
        {u"select memberid, name, 'İİİ' as tag from ygzl where memberid='8'"_qs, {}},
        {u"select memberid, name, 'a from b' as note from ygzl where memberid='7'"_qs, {}},
        {u"select memberid, name, 'it''s from x, y' as note from ygzl where memberid='7'"_qs, {}},
        {u"select memberid, name, depart as \" from x\" from ygzl where memberid='7'"_qs, {}},
        {u"select k.memberid, k.name from kq k, ygzl y where k.depart=y.depart"_qs, u"exactly one table"_qs},
        {u"select * from kq join ygzl on kq.depart=ygzl.depart"_qs, u"exactly one table"_qs},
        {u"select * from kq orders join ygzl on orders.depart=ygzl.depart"_qs, u"exactly one table"_qs},
        {u"select * from nokey"_qs, u"no primary key"_qs}, {u"select name from ygzl"_qs, u"key column"_qs}};
    // clang-format on
    int written = 0;
    for (const auto& [statement, reason] : cases) {
        SCOPED_TRACE(statement.toStdString());
        const QString name = u"x'; drop table ygzl; --"_qs + QString::number(written);
        Recordset rs;
        rs.open(statement, db());
        ASSERT_FALSE(rs.eof());
        rs.setValue(u"name"_qs, name);
        if (reason.isEmpty()) {
            EXPECT_NO_THROW(rs.update());
            EXPECT_EQ(column(u"select * from ygzl where name = "_qs + sql::quoted(name), u"memberid"_qs),
                      QStringList{rs.text(u"memberid"_qs)});
            ++written;
        } else {
            EXPECT_TRUE(errorOf([&] { rs.update(); }).contains(reason));
            for (const QString& table : {u"kq"_qs, u"ygzl"_qs, u"nokey"_qs})
                EXPECT_EQ(scalar(u"select count(*) from " + table + u" where name = " + sql::quoted(name)),
                          u"0"_qs);
        }
    }
    EXPECT_EQ(scalar(u"select count(*) from ygzl"_qs), u"3"_qs);
    EXPECT_EQ(
        column(u"select * from ygzl where name = "_qs + sql::quoted(u"x' or '1'='1"_qs), u"memberid"_qs),
        QStringList{});
}

// Updates inside a caller's transaction join it: nothing is committed before the caller
// commits, so a rollback takes back every row (PostgreSQL would commit at a nested BEGIN).
TEST_P(RecordsetTest, UpdatesJoinTheCallersTransaction)
{
    Recordset rs;
    rs.open(oneDay(), db());
    TransactionScope transaction(db());
    ASSERT_TRUE(transaction.active() && TransactionScope::isActive(db()));
    for (int row = 0; row < 3; ++row, rs.moveNext()) {
        rs.setValue(u"hours"_qs, 11.0 + row);
        rs.update();
    }
    transaction.rollback();
    EXPECT_FALSE(TransactionScope::isActive(db()));
    EXPECT_EQ(scalar(u"select count(*) from kq where hours >= 11"_qs), u"0"_qs);
}

TALOR_BOTH_DATABASES(RecordsetTest);

} // namespace
