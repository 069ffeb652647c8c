// The report parts (layout, queries, display, clicks, the batch's person walk) run on the demo
// suite, on SQLite and on PostgreSQL, and compared with the attendance table read independently.
#include "entry/BatchReport.h"

#include "db/Recordset.h"
#include "grid/Workbook.h"
#include "print/PrintTestSupport.h"
#include "query/PeriodRecords.h"
#include "sheet/SheetSaving.h"
#include "suite/DemoSuite.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/ErrorText.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"

#include <QFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// The demo's suite, noting the texts of the queries that it holds whenever the display asks it
// something (a code's name for a record, the report kind for a sum): what the suite held while
// each person's block was shown.
class RecordingSuite : public LocalSuite
{
public:
    using LocalSuite::groupName;
    using LocalSuite::LocalSuite;
    using LocalSuite::teamName;
    mutable QStringList seen;

    QString reportOption() const override
    {
        note();
        return LocalSuite::reportOption();
    }
    QString categoryName(const QString& category, const QString& code) override
    {
        note();
        return LocalSuite::categoryName(category, code);
    }
    QString groupName(const QString& department, const QString& code) override
    {
        note();
        return LocalSuite::groupName(department, code);
    }
    QString teamName(const QString& department, const QString& group, const QString& code) override
    {
        note();
        return LocalSuite::teamName(department, group, code);
    }

private:
    void note() const
    {
        const QStringList texts{composedQuery(),  selectPart(), fromPart(), wherePart(),   orderPart(),
                                departmentName(), groupName(),  teamName(), personNumber()};
        const QString now = texts.join(u'|');
        if (seen.isEmpty() || seen.last() != now)
            seen << now;
    }
};

// The whole shown sheet as lines of text: extent, selection, each row's cells (kind, shown
// text, formula, format), and the formats by first use, so that a renumbered format table
// with the same looks compares equal.
QStringList shownSheet(const grid::Sheet& s)
{
    QStringList lines{QStringLiteral("extent %1 x %2, selection %3,%4:%5,%6, active %7,%8")
                          .arg(s.lastRow())
                          .arg(s.lastColumn())
                          .arg(s.selection().row1)
                          .arg(s.selection().col1)
                          .arg(s.selection().row2)
                          .arg(s.selection().col2)
                          .arg(s.activeRow())
                          .arg(s.activeColumn())};
    QList<int> formats{0};
    for (int r = 1; r <= s.lastRow(); ++r) {
        QStringList cells;
        for (int c = 1; c <= s.lastColumn(); ++c) {
            const QString kind = s.isFormula(r, c)  ? "F"
                                 : s.isNumber(r, c) ? "N"
                                 : s.isEmpty(r, c)  ? ""
                                                    : "T";
            QString cell = kind.isEmpty() ? QString() : kind + ":" + s.text(r, c);
            if (s.isFormula(r, c))
                cell += " " + s.formula(r, c);
            if (s.isNumber(r, c) && !s.isFormula(r, c))
                cell += " (" + QString::number(s.number(r, c), 'g', 17) + ")";
            const int id = s.formatId(r, c);
            if (!formats.contains(id))
                formats << id;
            if (id != 0)
                cell += "@" + QString::number(formats.indexOf(id));
            cells << cell.replace('\n', "\\n");
        }
        lines << QString::number(r) + ": " + cells.join('|');
    }
    for (int i = 1; i < formats.size(); ++i) {
        const grid::CellFormat& f = s.formatById(formats[i]);
        lines << QStringLiteral("@%1 = %2, fill %3 %4 %5, border %6 %7 %8 %9 colours %10 %11 %12 %13")
                     .arg(i)
                     .arg(f.numberFormat)
                     .arg(f.fill.pattern)
                     .arg(f.fill.foreground)
                     .arg(f.fill.background)
                     .arg(f.border.left)
                     .arg(f.border.right)
                     .arg(f.border.top)
                     .arg(f.border.bottom)
                     .arg(f.border.leftColour)
                     .arg(f.border.rightColour)
                     .arg(f.border.topColour)
                     .arg(f.border.bottomColour);
    }
    return lines;
}

// Compares the shown sheet with the one kept in tests/entry/shown/<name>.txt, line by line;
// TALOR_WRITE_SHOWN=1 writes the file instead (after a deliberate change of what is shown).
void expectShown(const grid::Sheet& s, const QString& name)
{
    const QString path = qEnvironmentVariable("TALOR_SOURCE_DIR") + "/tests/entry/shown/" + name + ".txt";
    const QStringList shown = shownSheet(s);
    QFile file(path);
    if (qEnvironmentVariable("TALOR_WRITE_SHOWN") == "1") {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write((shown.join('\n') + '\n').toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QStringList kept = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min(kept.size(), shown.size()); ++i)
        ASSERT_EQ(shown[i].toStdString(), kept[i].toStdString()) << name.toStdString() << ", line " << i + 1;
    EXPECT_EQ(shown.size(), kept.size()) << name.toStdString();
}

class DemoReports : public test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        options.employees = 40;
        const QString dir = temporaryPath() + "/demo";
        DemoSuite::generate(dir, options);
        SuiteConfig config = SuiteConfig::load(dir + "/suite.ini");
        if (kind() == test::DatabaseKind::Postgres) {
            DemoSuite::fillDatabase(db(), options);
            const PostgresServer server = postgresServer();
            test::useServer(config, server);
        }
        suite = std::make_unique<RecordingSuite>(config);
        report = std::make_unique<BatchReport>(*suite);
    }
    void TearDown() override
    {
        report.reset();
        suite.reset();
        DatabaseTest::TearDown();
    }
    // Rows of an independent query, each row's values as texts.
    QList<QStringList> read(const QString& sql)
    {
        QSqlQuery query(suite->connection()); // on SQLite the demo has a file of its own
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        QList<QStringList> rows;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i).toString();
            rows << row;
        }
        return rows;
    }
    const grid::Sheet& sheet() { return report->book().active(); }

    DemoOptions options;
    std::unique_ptr<RecordingSuite> suite;
    std::unique_ptr<BatchReport> report;
};

TEST_P(DemoReports, KindTwoShowsTheDayOfTheWholeOrganisationWithItsSum)
{
    BatchReportRequest request;
    request.kind = 2;
    request.node = "ROOT";
    request.sum = true;
    report->run(request); // the demo's report date
    const QDate day = DemoSuite::firstWorkingDay(options.from);
    const auto rows = read("select memberid, cqgs, ncolor from kq0001 where zhdate='" +
                           day.toString("yyyy-MM-dd") + "' order by memberid");
    ASSERT_EQ(rows.size(), options.employees);
    const grid::Sheet& s = sheet();
    ASSERT_EQ(s.lastRow(), 5 + rows.size());
    double hours = 0;
    int abnormal = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const int r = 5 + i;
        EXPECT_EQ(s.text(r, 1), rows[i][0]);
        EXPECT_DOUBLE_EQ(s.number(r, 10), rows[i][1].toDouble()) << r;
        EXPECT_EQ(s.formula(r, 16), QStringLiteral("=J%1+K%1").arg(r)) << "the template's computed column";
        const int colour = rows[i][2].toInt();
        EXPECT_EQ(s.fill(r, 1).foreground, colour >= 1 && colour <= 3 ? 11177215u : 16777215u);
        abnormal += colour >= 1 && colour <= 3;
        hours += rows[i][1].toDouble();
    }
    EXPECT_GT(abnormal, 0) << "the demo's first report date has abnormal rows";
    const int sumRow = 5 + int(rows.size());
    EXPECT_EQ(s.text(sumRow, 1), "合计：");
    EXPECT_EQ(s.text(sumRow, 2), QString::number(rows.size()));
    EXPECT_NEAR(s.number(sumRow, 10), hours, 0.05);
    EXPECT_EQ(report->label(3), QString::fromUtf8(DemoSuite::Organisation));
    EXPECT_EQ(report->book().sheetName(1), report->label(3) + "部门考勤日报");
    EXPECT_EQ(suite->composedQuery(),
              "select * from KQ0001 where zhdate='" + day.toString("yyyy-MM-dd") + "' order by memberid");
}

// Every cell, text, format, fill, frame and sum of the shown sheet, the same on both databases:
// a faster display must show exactly this.
TEST_P(DemoReports, ShownSheetsStayAsKept)
{
    report->run({2, "ROOT", {}, {}, {}, {}, {}, true});
    expectShown(sheet(), "kind2-organisation");
    report->run({3, "C生产部装配一组甲班", {}, {}, QDate(2026, 10, 15), QDate(2026, 11, 14), {}, false});
    expectShown(sheet(), "kind3-team");
    report->run({1, "ROOT", "00002", {}, QDate(2026, 10, 1), QDate(2026, 10, 31), {}, true});
    expectShown(sheet(), "kind1-person");
}

TEST_P(DemoReports, KindTwoWithoutRowsShowsOneClearedRow)
{
    report->run({2, "ROOT", {}, QDate(2030, 1, 1), {}, {}, {}, true});
    EXPECT_EQ(sheet().lastRow(), 5);
    EXPECT_EQ(sheet().text(5, 1), "");
    EXPECT_FALSE(sheet().formula(5, 16).isEmpty());
}

TEST_P(DemoReports, KindThreeOneBlockPerEmployeeRecordsOnTheirDayRows)
{
    // A period that does not start on the 1st: its days in date order from the block's fifth
    // row, every row labelled with the day its records are placed on.
    report->run({3, "A生产部", {}, {}, QDate(2026, 10, 15), QDate(2026, 11, 14), {}, false});
    const auto employees =
        read("select memberid, name from ygzl where depart in ('01', '生产部') order by memberid");
    ASSERT_GT(employees.size(), 1);
    const grid::Sheet& s = sheet();
    EXPECT_EQ(s.lastRow(), 36 * employees.size());
    for (int b = 0; b < 2; ++b) {
        const int top = 36 * b;
        const QString number = employees[b][0];
        EXPECT_TRUE(s.text(top + 3, 1).startsWith(employees[b][1] + "(" + number + ",生产部"));
        EXPECT_EQ(s.text(top + 3, 14), "2026-10-15 至 2026-11-14");
        EXPECT_EQ(s.text(top + 36, 1), "合计：");
        EXPECT_EQ(s.formula(top + 36, 14), QStringLiteral("=SUM(N%1:N%2)").arg(top + 5).arg(top + 35));
        EXPECT_EQ(s.border(top + 20, 3).bottom, 1) << "every block keeps the template's frames";
        const auto rows = read("select zhdate, cdfz from kq0001 where memberid='" + number +
                               "' and zhdate>='2026-10-15' and zhdate<='2026-11-14'");
        ASSERT_EQ(rows.size(), 31);
        for (const QStringList& row : rows) {
            const QDate date = QDate::fromString(row[0].left(10), "yyyy-MM-dd");
            const int r = top + 5 + int(QDate(2026, 10, 15).daysTo(date));
            EXPECT_EQ(s.text(r, 1), date.toString("yyyy-MM-dd"));
            EXPECT_EQ(s.text(r, 2), QString::number(date.dayOfWeek() % 7));
            EXPECT_EQ(s.number(r, 6), row[1].toDouble()) << r;
        }
    }
}

// A recordset as its reader sees it: its source, fields, and every value with its type.
QStringList contentsOf(Recordset records)
{
    QStringList out{records.source(), records.fieldNames().join(u',')};
    for (records.moveFirst(); !records.eof(); records.moveNext()) {
        QStringList row;
        for (const QString& field : records.fieldNames()) {
            const QVariant v = records.value(field);
            row << QString::fromLatin1(v.metaType().name()) + u':' + v.toString();
        }
        out << row.join(u'|');
    }
    return out;
}

// Where two lists of texts part, for the failure message.
std::string difference(const QStringList& actual, const QStringList& expected)
{
    for (qsizetype i = 0; i < qMax(actual.size(), expected.size()); ++i)
        if (actual.value(i) != expected.value(i))
            return QStringLiteral("at %1 of %2/%3: %4\n  instead of %5")
                .arg(i)
                .arg(actual.size())
                .arg(expected.size())
                .arg(actual.value(i), expected.value(i))
                .toStdString();
    return {};
}

struct PeriodCase
{
    const char* name;
    const char* node;
    QDate from, to;
    const char* personCondition;
    bool shared; // whether the persons' rows can come from one read
};

TEST_P(DemoReports, KindThreeFromOneSharedReadShowsAndLeavesWhatEachPersonsQueryDoes)
{
    // Persons whose numbers order otherwise as numbers than as text, one of them without rows,
    // rows on the first and the last day of the month and of the period.
    QSqlQuery insert(suite->connection());
    for (const char* sql : {"insert into ygzl (memberid, name, depart) values ('9', '九号', '生产部')",
                            "insert into ygzl (memberid, name, depart) values ('10', '十号', '生产部')",
                            "insert into ygzl (memberid, name, depart) values ('010', '零十号', '生产部')",
                            "insert into kq0001 (memberid, zhdate, name, depart, cdfz, ncolor) values ('9', "
                            "'2026-10-01', '九号', '生产部', 3, 2)",
                            "insert into kq0001 (memberid, zhdate, name, depart, cdfz, ncolor) values ('9', "
                            "'2026-10-31', '九号', '生产部', 5, 0)",
                            "insert into kq0001 (memberid, zhdate, name, depart, cdfz, ncolor) values ('10', "
                            "'2026-10-31', '十号', '生产部', 7, 1)",
                            "insert into kq0001 (memberid, zhdate, name, depart, cdfz, ncolor) values ('10', "
                            "'2026-11-14', '十号', '生产部', 1, 0)"})
        ASSERT_TRUE(insert.exec(QString::fromUtf8(sql))) << sql;

    const PeriodCase cases[] = {
        {"a period from the 15th", "A生产部", QDate(2026, 10, 15), QDate(2026, 11, 14), "", true},
        {"the whole month of the organisation", "ROOT", QDate(2026, 10, 1), QDate(2026, 10, 31), "", true},
        {"a personal condition", "A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31), "cdfz>0", true},
        // Each person's query reads the rows of others on the same days: their order is the
        // engine's, so each person is read by its own query.
        {"a condition that reaches other persons' rows", "A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31),
         "ncolor=1 or ncolor=2", false},
        {"a condition ending in a comment", "A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31), "cdfz>=0 --",
         false},
    };
    ModuleParts& parts = report->parts();
    SelectionClicks& clicks = parts.clicks();
    ModuleRecordsets& records = parts.context().records;
    struct Shown
    {
        QStringList seen, lastRecords;
        QByteArray sheet;
    };
    const QString file = temporaryPath() + "/shown.vts";
    for (const PeriodCase& c : cases) {
        SCOPED_TRACE(c.name);
        report->run({3, c.node, {}, {}, c.from, c.to, {}, false});
        parts.context().state.PersonCondition = QString::fromUtf8(c.personCondition);
        auto show = [&](bool shared) {
            clicks.sharedPeriodRead = shared;
            suite->setComposedQuery(QString()); // whatever the last click left
            suite->seen.clear();
            clicks.treeClick();
            report->book().write(file, grid::FileType::Template);
            QFile written(file);
            EXPECT_TRUE(written.open(QIODevice::ReadOnly));
            return Shown{suite->seen, contentsOf(records.EmployeeRecords), written.readAll()};
        };
        const Shown own = show(false);
        const Shown shared = show(true);
        EXPECT_EQ(difference(shared.seen, own.seen), "")
            << "the suite's query texts while each block is shown";
        EXPECT_EQ(difference(shared.lastRecords, own.lastRecords), "")
            << "the records that editing and saving go on with";
        EXPECT_TRUE(shared.sheet == own.sheet) << "the whole sheet";

        // Every person's recordset, the one without rows too.
        QStringList numbers;
        Recordset persons = records.PersonTemplateRecords;
        for (persons.moveFirst(); !persons.eof(); persons.moveNext())
            numbers << persons.text("memberid");
        QSet<QString> queries;
        for (const QString& seen : own.seen)
            queries << seen.section(u'|', 0, 0);
        const QString from = c.from.toString("yyyy-MM-dd");
        const QString to = c.to.toString("yyyy-MM-dd");
        const QString condition = QString::fromUtf8(c.personCondition);
        RecordQueries texts(*suite);
        PeriodRecords ownReads(texts, suite->connection(), from, to, condition, false);
        PeriodRecords sharedRead(texts, suite->connection(), from, to, condition, true);
        // Reads of three persons each: a person on either side of every boundary, and one
        // that comes again after its read has gone.
        PeriodRecords smallReads(texts, suite->connection(), from, to, condition, true, 3);
        ownReads.setPersons(numbers);
        sharedRead.setPersons(numbers);
        smallReads.setPersons(numbers);
        for (const QString& number : std::as_const(numbers) + QStringList{numbers.first()}) {
            Recordset a, b, small;
            const QString sql = texts.periodQuery(number, from, to, condition);
            EXPECT_TRUE(queries.contains(sql))
                << "the block of " << number.toStdString() << " shown under its query";
            ownReads.open(number, sql, a);
            sharedRead.open(number, sql, b);
            smallReads.open(number, sql, small);
            EXPECT_EQ(difference(contentsOf(b), contentsOf(a)), "") << number.toStdString();
            EXPECT_EQ(difference(contentsOf(small), contentsOf(a)), "") << number.toStdString();
        }
        EXPECT_EQ(sharedRead.sharedCount(), c.shared ? numbers.size() + 1 : 0);
        EXPECT_EQ(smallReads.sharedCount(), sharedRead.sharedCount());
    }
}

TEST_P(DemoReports, KindThreeRecordsFromTheSharedReadAreSavedWithTheirOptimisticCheck)
{
    report->run({3, "A生产部", {}, {}, QDate(2026, 10, 1), QDate(2026, 10, 31), {}, false});
    ModuleContext& context = report->parts().context();
    Recordset& records = context.records.EmployeeRecords;
    EXPECT_EQ(records.source(), suite->composedQuery()) << "the last person's own period query";
    ASSERT_EQ(records.recordCount(), 31);
    records.moveFirst();
    const QString number = records.text("memberid");
    grid::Sheet& s = report->book().active();
    auto cdfz = [&](const QString& day) {
        const auto rows =
            read("select cdfz from kq0001 where memberid='" + number + "' and zhdate='" + day + "'");
        return rows.isEmpty() ? -1.0 : rows[0][0].toDouble();
    };
    // Record k is saved from grid row k + 4; column 6 shows cdfz.
    SheetSnapshot before;
    before.take(s);
    const double minutes = cdfz("2026-10-01") + 17;
    s.setText(5, 6, QString::number(minutes));
    SaveOutcome outcome = SheetSaving(*suite, context.columns, s, records).SaveSheet(&before);
    EXPECT_TRUE(outcome.complete) << outcome.message.toStdString();
    EXPECT_EQ(outcome.saved, 31) << "every record gone through";
    EXPECT_EQ(cdfz("2026-10-01"), minutes);

    // Another operator's change since the read is not overwritten.
    QSqlQuery other(suite->connection());
    ASSERT_TRUE(other.exec("update kq0001 set cdfz=cdfz+100 where memberid='" + number +
                           "' and zhdate='2026-10-02'"));
    const double theirs = cdfz("2026-10-02");
    before.take(s);
    s.setText(6, 6, QString::number(theirs + 1));
    outcome = SheetSaving(*suite, context.columns, s, records).SaveSheet(&before);
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.row, 6);
    EXPECT_EQ(cdfz("2026-10-02"), theirs);
}

TEST_P(DemoReports, KindOneShowsThePersonsPeriod)
{
    report->run({1, "ROOT", "00002", {}, QDate(2026, 11, 1), QDate(2026, 11, 30), {}, true});
    EXPECT_EQ(sheet().lastRow(), 31) << "30 days and the sum row";
    EXPECT_EQ(sheet().text(1, 1), "2026-11-01");
    EXPECT_EQ(sheet().text(31, 1), "合计：");
    EXPECT_TRUE(report->label(3).startsWith(suite->personName() + "(00002,"));
    EXPECT_EQ(report->label(2), "2026-11-01 至 2026-11-30");
}

TEST_P(DemoReports, KindOneOverTheNodeWalksEveryPersonInListOrderIntoOnePdf)
{
    const auto employees =
        read("select memberid, name from ygzl where depart in ('01', '生产部') order by memberid");
    ASSERT_GT(employees.size(), 1);
    const QString pdf = temporaryPath() + "/node.pdf";
    const auto job = PrintJob::toPdf(pdf, "node");
    QStringList walked;
    report->runEachPerson(
        {1, "A生产部", {}, {}, QDate(2026, 11, 1), QDate(2026, 11, 30), {}, true},
        [&](int index, int count, const QString& name) {
            EXPECT_EQ(count, employees.size());
            EXPECT_EQ(index, walked.size() + 1);
            walked << suite->personNumber();
            EXPECT_EQ(name, employees[index - 1][1]);
            EXPECT_EQ(suite->statusValue(), 100);
            EXPECT_TRUE(report->book().sheetName(1).startsWith(name + "(" + walked.last() + ",生产部"));
            EXPECT_EQ(sheet().lastRow(), 31) << "30 days and the sum row, for every person";
            EXPECT_TRUE(report->output().addPages(*job).skipped.isEmpty());
        });
    job->finish();
    QStringList numbers;
    for (const QStringList& row : employees)
        numbers << row[0];
    EXPECT_EQ(walked, numbers);
    EXPECT_EQ(job->reports(), employees.size());
    const QStringList pages = test::pdfPages(pdf);
    EXPECT_EQ(pages.size(), job->pages());
    QStringList headers;
    for (const QString& number : numbers)
        headers << "(" + number + ",生产部";
    EXPECT_TRUE(test::onPagesInOrder(pages, headers));
}

// More persons than the sheet has rows for (a 36-row block each) are refused before any
// block is shown, naming how many fit: never a report cut short as if it were whole.
TEST_P(DemoReports, KindThreeOfMorePersonsThanTheSheetHoldsIsRefusedBeforeAnyBlock)
{
    const int fit = grid::Sheet::MaxRows / 36;
    // One statement for the tens of thousands of persons, on either database.
    QSqlQuery insert(suite->connection());
    ASSERT_TRUE(insert.exec(QStringLiteral("with recursive n(i) as (select %1 union all select i + 1 from n "
                                           "where i < %2) insert into ygzl (memberid, name) "
                                           "select 'X' || (1000000 + i), '临时' from n")
                                .arg(options.employees)
                                .arg(fit)))
        << insert.lastError().text().toStdString();
    BatchReportRequest request;
    request.kind = 3;
    request.node = "ROOT";
    QString message;
    try {
        report->run(request);
    } catch (const std::exception& error) {
        message = QString::fromUtf8(error.what());
    }
    EXPECT_TRUE(test::containsAll(message, {QString::number(fit), QString::number(fit + 1)}))
        << message.toStdString();
    EXPECT_LE(sheet().lastRow(), 36) << "no block written";
}

// Past the 65,536 rows of older spreadsheets: a block for each of 1,840 persons, the last
// one headed by the last person of the list.
TEST_P(DemoReports, KindThreeOfMorePersonsThanSixtyFiveThousandRowsHoldShowsEveryBlock)
{
    const int persons = 1840;
    QSqlQuery insert(suite->connection());
    ASSERT_TRUE(insert.exec(QStringLiteral("with recursive n(i) as (select %1 union all select i + 1 from n "
                                           "where i < %2) insert into ygzl (memberid, name) "
                                           "select 'X' || (1000000 + i), '临时' from n")
                                .arg(options.employees + 1)
                                .arg(persons)))
        << insert.lastError().text().toStdString();
    report->run({3, "ROOT", {}, {}, QDate(2026, 10, 1), QDate(2026, 10, 31), {}, false});
    const auto list = read("select memberid, name from ygzl order by depart, group0, team, memberid");
    ASSERT_EQ(list.size(), persons);
    const grid::Sheet& s = sheet();
    EXPECT_EQ(s.lastRow(), 36 * persons);
    const int lastTop = 36 * (persons - 1);
    EXPECT_TRUE(s.text(lastTop + 3, 1).startsWith(list.last()[1] + "(" + list.last()[0] + ","))
        << s.text(lastTop + 3, 1).toStdString();
    EXPECT_EQ(s.text(lastTop + 35, 1), "2026-10-31");
}

TEST_P(DemoReports, UnknownNodePersonOrReportIsARequestError)
{
    const BatchReportRequest requests[] = {
        {2, "A没有这个部门", {}, {}, {}, {}, {}, false},
        {1, "ROOT", "99999", {}, {}, {}, {}, false},
        {1, "ROOT", {}, {}, {}, {}, {}, false},
        {3, "ROOT", {}, {}, {}, {}, "没有的报表", false},
    };
    for (const BatchReportRequest& request : requests) {
        BatchReport fresh(*suite);
        EXPECT_THROW(fresh.run(request), BatchRequestError) << request.node.toStdString();
    }
}

TALOR_BOTH_DATABASES(DemoReports);

} // namespace
