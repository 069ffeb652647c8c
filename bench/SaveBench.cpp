// Saving a corrected sheet, against the same UPDATE statements run in one transaction through
// Qt SQL: a one-day sheet of the whole organisation (kind 2) and a month of every person, one
// person after the other (kind 1). Every data row has one corrected cell; each save writes the
// corrected field and the operator's name (CZYXM) by the table's key, optimistically: the
// corrected field and the others the sheet shows must still hold what was read.
//   bench_save [employees-of-the-day-sheet] [persons-of-the-month] [parts: any of "d", "m", "s", "p"]
// Parts pick the sheets (d the day sheet, m the month) and the engines (s SQLite, p PostgreSQL),
// for profiling one of them; all by default.
// PostgreSQL is measured too when TALOR_PG_HOST, TALOR_PG_PORT, TALOR_PG_DB and TALOR_PG_USER
// name a server (its database is overwritten). Times are CPU times of this process (the client's
// work) and wall times (including the server's), best of five warm rounds (the
// machine is shared: a busy moment spoils a round of either side).

#include "db/Connections.h"
#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "sheet/RecordDisplay.h"
#include "sheet/SheetSaving.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "text/TextFunctions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <stdexcept>

using namespace talor;

namespace {

const QStringList Fields = {"memberid", "name", "cdfz", "cqgs", "bz", "sbsj", "bxrq"};
constexpr int Corrected = 3; // cdfz
constexpr int Rounds = 5;

struct Times
{
    double cpu = 0, wall = 0;
    Times& operator+=(const Times& other)
    {
        cpu += other.cpu, wall += other.wall;
        return *this;
    }
};

template <typename Work> Times measure(Work work)
{
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    work();
    return {double(std::clock() - cpu) / CLOCKS_PER_SEC, wall.nsecsElapsed() / 1e9};
}

// One sheet over one query: displayed, remembered, then corrected in every row.
struct SheetUnderTest
{
    LocalSuite& suite;
    ColumnFields columns;
    SheetState state;
    grid::Sheet sheet;
    Recordset records;
    SheetSnapshot before;

    SheetUnderTest(LocalSuite& s, const QString& sql) : suite(s)
    {
        for (int c = 1; c <= Fields.size(); ++c) {
            columns.setField(c, Fields[c - 1]);
            sheet.setColumnHeading(c, suite.fieldCaption(Fields[c - 1]));
        }
        columns.lookUp(suite, int(Fields.size()));
        records.open(sql, suite.connection());
        RecordDisplay display(suite, state, columns, sheet);
        int row = 0;
        for (records.moveFirst(); !records.eof(); records.moveNext())
            display.DisplayMRecord(records, ++row, int(Fields.size()));
        records.moveFirst();
        before.take(sheet);
        for (int r = 1; r <= row; ++r)
            sheet.setPlainText(r, Corrected,
                               QString::number(text::numericValue(sheet.text(r, Corrected)) + 1));
    }
    Times save()
    {
        SaveOutcome outcome;
        const Times t = measure([&] {
            SheetSaving saving(suite, columns, sheet, records);
            outcome = saving.SaveSheet(&before);
        });
        if (!outcome.complete)
            throw std::runtime_error(outcome.message.toStdString());
        return t;
    }
};

// The fields a save checks beside the corrected one: those the sheet shows, but the key.
const QStringList Checked = {"name", "cqgs", "bz", "sbsj", "bxrq"};

// The statements a save of `sql` issues, run in one transaction: each row's corrected field
// and CZYXM set by the key, with the optimistic checks on the old values of the corrected and
// the shown fields (IS NULL where null; on PostgreSQL the time to the millisecond).
Times plainUpdates(LocalSuite& suite, const QString& sql)
{
    QSqlDatabase db = suite.connection();
    const bool postgres = db.driverName() != QLatin1String("QSQLITE");
    Recordset rows;
    rows.open(sql, db);
    struct Row
    {
        QVariant memberid, zhdate, cdfz, czyxm;
        QVariantList checked;
    };
    std::vector<Row> data;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        Row row{rows.value("memberid"), rows.value("zhdate"), rows.value("cdfz"), rows.value("czyxm"), {}};
        for (const QString& field : Checked)
            row.checked << rows.value(field);
        data.push_back(row);
    }
    const QString name = suite.operatorName();
    return measure([&] {
        db.transaction();
        // One statement per shape: which of CZYXM and the checked fields were null.
        QHash<int, QSqlQuery> statements;
        for (const Row& row : data) {
            int shape = row.czyxm.isNull() ? 1 : 0;
            for (qsizetype i = 0; i < row.checked.size(); ++i)
                shape |= row.checked[i].isNull() ? 2 << i : 0;
            auto query = statements.find(shape);
            if (query == statements.end()) {
                QString text = QStringLiteral("UPDATE kq0001 SET cdfz = ?, czyxm = ? WHERE memberid = ? AND "
                                              "zhdate = ? AND cdfz = ? AND czyxm ") +
                               (row.czyxm.isNull() ? QStringLiteral("IS NULL") : QStringLiteral("= ?"));
                for (qsizetype i = 0; i < row.checked.size(); ++i) {
                    const QString& field = Checked[i];
                    if (row.checked[i].isNull())
                        text += " AND " + field + " IS NULL";
                    else if (postgres && field == QLatin1String("sbsj"))
                        text += " AND abs(extract(epoch from CAST(sbsj AS time) - CAST(? AS time))) < 0.001";
                    else
                        text += " AND " + field + " = ?";
                }
                query = statements.insert(shape, QSqlQuery(db));
                query->prepare(text);
            }
            query->addBindValue(row.cdfz.toDouble() + 1);
            query->addBindValue(name);
            query->addBindValue(row.memberid);
            query->addBindValue(row.zhdate);
            query->addBindValue(row.cdfz);
            if (!row.czyxm.isNull())
                query->addBindValue(row.czyxm);
            for (const QVariant& value : row.checked)
                if (!value.isNull())
                    query->addBindValue(value);
            if (!query->exec() || query->numRowsAffected() != 1)
                throw std::runtime_error(query->lastError().text().toStdString());
        }
        statements.clear();
        db.commit();
    });
}

void report(const char* engine, const char* what, const Times& save, const Times& plain)
{
    std::printf("%-10s %-34s save %7.3f s cpu %7.3f s wall | plain %7.3f s cpu %7.3f s wall | ratio cpu %.2f "
                "wall %.2f\n",
                engine, what, save.cpu, save.wall, plain.cpu, plain.wall, save.cpu / plain.cpu,
                save.wall / plain.wall);
}

Times best(const Times& a, const Times& b)
{
    return {std::min(a.cpu, b.cpu), std::min(a.wall, b.wall)};
}

void daySheet(const char* engine, LocalSuite& suite, const DemoOptions& options)
{
    const QString sql = QStringLiteral("select * from kq0001 where zhdate='%1' order by memberid")
                            .arg(options.from.toString(Qt::ISODate));
    SheetUnderTest(suite, sql).save(); // warm: every row signed once
    Times save{1e9, 1e9}, plain{1e9, 1e9};
    for (int round = 0; round < Rounds; ++round) {
        plain = best(plain, plainUpdates(suite, sql));
        SheetUnderTest sheet(suite, sql);
        save = best(save, sheet.save());
    }
    report(engine, QStringLiteral("day sheet, %1 rows (kind 2)").arg(options.employees).toUtf8().constData(),
           save, plain);
}

void monthSheets(const char* engine, LocalSuite& suite, const DemoOptions& options)
{
    QStringList people;
    Recordset ygzl;
    ygzl.open(QStringLiteral("select memberid from ygzl order by memberid"), suite.connection());
    for (ygzl.moveFirst(); !ygzl.eof(); ygzl.moveNext())
        people << ygzl.text("memberid");
    auto sqlOf = [&](const QString& person) {
        return QStringLiteral("select * from kq0001 where memberid='%1' and zhdate>='%2' and zhdate<='%3' "
                              "order by zhdate")
            .arg(person, options.from.toString(Qt::ISODate),
                 options.from.addDays(options.days - 1).toString(Qt::ISODate));
    };
    for (const QString& person : people)
        SheetUnderTest(suite, sqlOf(person)).save(); // warm
    Times save{1e9, 1e9}, plain{1e9, 1e9};
    for (int round = 0; round < Rounds; ++round) {
        Times roundPlain, roundSave;
        for (const QString& person : people)
            roundPlain += plainUpdates(suite, sqlOf(person));
        for (const QString& person : people) {
            SheetUnderTest sheet(suite, sqlOf(person));
            roundSave += sheet.save();
        }
        plain = best(plain, roundPlain);
        save = best(save, roundSave);
    }
    report(engine,
           QStringLiteral("month, %1 persons x %2 days (kind 1)")
               .arg(people.size())
               .arg(options.days)
               .toUtf8()
               .constData(),
           save, plain);
}

// The demo suite of `options` on SQLite, and on PostgreSQL when the environment names a server.
void run(const DemoOptions& options, void (*bench)(const char*, LocalSuite&, const DemoOptions&),
         const QByteArray& parts)
{
    QTemporaryDir dir;
    const auto summary = DemoSuite::generate(dir.filePath(QStringLiteral("suite")), options);
    if (parts.contains('s')) {
        LocalSuite suite(summary.configurationFile);
        suite.setCurrentTable(QString::fromLatin1(DemoSuite::DailyTable));
        bench("SQLite", suite, options);
    }
    if (!parts.contains('p') || qEnvironmentVariableIsEmpty("TALOR_PG_HOST"))
        return;
    SuiteConfig config = SuiteConfig::load(summary.configurationFile);
    config.database.kind = QStringLiteral("postgresql");
    config.database.host = qEnvironmentVariable("TALOR_PG_HOST");
    config.database.port = qEnvironmentVariableIntValue("TALOR_PG_PORT");
    config.database.name = qEnvironmentVariable("TALOR_PG_DB");
    config.database.user = qEnvironmentVariable("TALOR_PG_USER");
    {
        PostgresServer server{
            config.database.host, config.database.port, config.database.name, config.database.user, {}};
        QSqlDatabase db = Connections::openPostgres(QStringLiteral("bench_fill"), server);
        DemoSuite::fillDatabase(db, options);
        db = QSqlDatabase();
        Connections::remove(QStringLiteral("bench_fill"));
    }
    LocalSuite suite(config);
    suite.setCurrentTable(QString::fromLatin1(DemoSuite::DailyTable));
    bench("PostgreSQL", suite, options);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    DemoOptions day;
    day.employees = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    day.days = 1;
    DemoOptions month;
    month.employees = argc > 2 ? QByteArray(argv[2]).toInt() : 500;
    month.days = 31;
    QByteArray parts = argc > 3 ? QByteArray(argv[3]) : QByteArray("dmsp");
    if (!parts.contains('d') && !parts.contains('m'))
        parts += "dm";
    if (!parts.contains('s') && !parts.contains('p'))
        parts += "sp";
    try {
        if (parts.contains('d'))
            run(day, daySheet, parts);
        if (parts.contains('m'))
            run(month, monthSheets, parts);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_save: %s\n", error.what());
        return 1;
    }
    return 0;
}
