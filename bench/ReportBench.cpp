// The report parts on large demo suites, CPU time, warm, as ratios to plain reads of the same
// rows measured in the same run:
//   kind 2 for a whole organisation on one day, shown in the grid, against a Qt SQL
//   forward-only read of that day;
//   kind 3 for 500 persons over a month against one set-based read of the month, on SQLite and,
//   when TALOR_PG_HOST/PORT/DB/USER name a server, on PostgreSQL: the report as the module runs
//   it (the persons' rows read together and shared out), the same with a query per person, and
//   both ways of reading the rows into the persons' recordsets without the grid;
//   `talor report` from process start to its written workbook, for one small team;
//   kind 2 of the whole organisation and kind 3 of it over a month written to .xlsx as
//   `talor report --output x.xlsx` writes them, against three floors of the same rows run
//   alternately with it: the Qt SQL read alone, the C floor (the rows read through SQLite's
//   own library, every value kept, then written by libxlsxwriter in constant-memory mode), and
//   the same read followed by the report's own cells written straight by libxlsxwriter.
//   (part "o") kind 3 of the whole organisation over a month into the grid, as the window fills
//   it: wall and CPU time of one run, and the heap the filled report holds per grid row.
//   bench_report [employees for kind 2, the .xlsx runs and "o", default 10000]
//                [parts: any of "2", "3", "r", "x", "d" (kind 2 to .xlsx alone), "o";
//                 default all but "d" and "o"]

#include "BenchData.h"
#include "db/Connections.h"
#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "entry/BatchReport.h"
#include "grid/Workbook.h"
#include "query/PeriodRecords.h"
#include "query/RecordQueries.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sqlite3.h>
#include <variant>
#include <xlsxwriter.h>

using namespace talor;

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The best CPU times of each of `works` (the product first, then its floors), run one after the
// other in turn after a warm-up of each, so that a busy moment of the machine weighs on all
// alike: five rounds, or TALOR_BENCH_RUNS (more rounds steady the figures on a loaded machine).
std::vector<double> alternately(const std::vector<std::function<void()>>& works)
{
    const int runs = std::max(5, qEnvironmentVariableIntValue("TALOR_BENCH_RUNS"));
    for (const auto& work : works)
        work();
    std::vector<double> fastest(works.size(), 1e9);
    for (int i = 0; i < runs; ++i) {
        for (size_t w = 0; w < works.size(); ++w) {
            const double start = cpuSeconds();
            works[w]();
            fastest[w] = std::min(fastest[w], cpuSeconds() - start);
        }
    }
    return fastest;
}

// Reads every value of every row, forward only.
int readAll(QSqlDatabase db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        std::fprintf(stderr, "query failed: %s\n", qPrintable(sql));
    int rows = 0;
    const int columns = query.record().count();
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            (void)query.value(c);
        ++rows;
    }
    return rows;
}

void report(const char* what, double seconds, double baseline, double target)
{
    const double ratio = seconds / baseline;
    std::printf("%-52s %8.1f ms CPU, plain read %7.1f ms: %.2fx (target %.1fx) %s\n", what, seconds * 1000,
                baseline * 1000, ratio, target, ratio <= target ? "ok" : "OVER");
}

std::unique_ptr<LocalSuite> suiteOn(const QString& configuration, bool postgres, const DemoOptions& options)
{
    SuiteConfig config = SuiteConfig::load(configuration);
    if (postgres) {
        config.database.kind = "postgresql";
        config.database.host = qEnvironmentVariable("TALOR_PG_HOST");
        config.database.port = qEnvironmentVariable("TALOR_PG_PORT").toInt();
        config.database.name = qEnvironmentVariable("TALOR_PG_DB");
        config.database.user = qEnvironmentVariable("TALOR_PG_USER");
        config.database.password = qEnvironmentVariable("TALOR_PG_PASSWORD");
        PostgresServer server;
        server.host = config.database.host;
        server.port = config.database.port;
        server.database = config.database.name;
        server.user = config.database.user;
        server.password = config.database.password;
        {
            QSqlDatabase db = Connections::openPostgres(QStringLiteral("bench-fill"), server);
            DemoSuite::fillDatabase(db, options);
        }
        Connections::remove(QStringLiteral("bench-fill"));
        return std::make_unique<LocalSuite>(config);
    }
    return std::make_unique<LocalSuite>(config);
}

void kindThree(const QString& configuration, bool postgres, const DemoOptions& options)
{
    auto suite = suiteOn(configuration, postgres, options);
    const QString from = options.from.toString("yyyy-MM-dd");
    const QString to = options.from.addDays(options.days - 1).toString("yyyy-MM-dd");
    BatchReportRequest request{3,  "ROOT", {}, {}, options.from, options.from.addDays(options.days - 1),
                               {}, false};
    BatchReport batch(*suite);
    SelectionClicks& clicks = batch.parts().clicks();
    // The rows alone, as they travel into the persons' recordsets, without the grid.
    QStringList numbers;
    {
        Recordset persons;
        persons.open("select memberid from ygzl order by depart,group0,team,memberid", suite->connection());
        for (; !persons.eof(); persons.moveNext())
            numbers << persons.text("memberid");
    }
    RecordQueries queries(*suite);
    auto travel = [&](bool shared) {
        Recordset records;
        PeriodRecords periods(queries, suite->connection(), from, to, {}, shared);
        periods.setPersons(numbers);
        for (const QString& number : std::as_const(numbers))
            periods.open(number, queries.periodQuery(number, from, to, {}), records);
    };
    int rows = 0;
    const auto shownBy = [&](bool sharedRead) {
        return [&clicks, &batch, &request, sharedRead] {
            clicks.sharedPeriodRead = sharedRead;
            batch.run(request);
        };
    };
    const std::vector<double> times = alternately({
        shownBy(true),
        [&] {
            rows = readAll(suite->connection(), "select * from kq0001 where zhdate>='" + from +
                                                    "' and zhdate<='" + to + "' order by memberid,zhdate");
        },
        shownBy(false),
        [&] { travel(true); },
        [&] { travel(false); },
    });
    const double plain = times[1], sharedRead = times[3], ownQueries = times[4];
    const QString what = QStringLiteral("kind 3, %1 persons x %2 days (%3 rows), %4")
                             .arg(options.employees)
                             .arg(options.days)
                             .arg(rows)
                             .arg(postgres ? "PostgreSQL" : "SQLite");
    report(qPrintable(what), times[0], plain, 1.5);
    report("  read with a query per person", times[2], plain, 1.5);
    report("  its rows into the persons' recordsets", sharedRead, plain, 1.5);
    report("  the same with a query per person", ownQueries, plain, 1.5);
}

// Kind 3 of all `employees` persons over a month into the grid (a month of 10,000 persons is
// 360,000 grid rows): one run, as the window's tree click runs it, with what the report holds
// afterwards (the grid, the persons' recordsets) on the heap, per grid row.
void wholeOrganisation(int employees, const QString& directory)
{
    DemoOptions month;
    month.employees = employees;
    month.days = 31;
    LocalSuite suite(DemoSuite::generate(directory, month).configurationFile);
    BatchReport batch(suite);
    const BatchReportRequest request{3,  "ROOT", {}, {}, month.from, month.from.addDays(month.days - 1),
                                     {}, false};
    const size_t heapBefore = bench::heapInUse();
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuSeconds();
    batch.run(request);
    const double cpu = cpuSeconds() - cpuStart;
    const qint64 wallMs = wall.elapsed();
    const int rows = batch.book().lastRow();
    const double perRow = double(bench::heapInUse() - heapBefore) / std::max(rows, 1);
    // What the grid's sheet holds of it: the heap its clearing gives back.
    const size_t heapFilled = bench::heapInUse();
    batch.book().active().clear();
    const double sheetPerRow = double(heapFilled - bench::heapInUse()) / std::max(rows, 1);
    std::printf("kind 3, organisation of %d over %d days (%d grid rows): %lld ms wall, %.0f ms CPU "
                "(target: 3 s wall); the report holds %.0f bytes a grid row (target: 300), the sheet %.0f "
                "of them\n",
                employees, month.days, rows, static_cast<long long>(wallMs), cpu * 1e3, perRow, sheetPerRow);
}

// A value as read from a row and kept: nothing, a number or UTF-8 text.
using Kept = std::variant<std::monostate, double, std::string>;

// `sql`'s rows read through SQLite's own library, every value kept; the number of columns.
int readKept(const QString& database, const QString& sql, std::vector<Kept>& kept)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    kept.clear();
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_NULL:
                kept.emplace_back();
                break;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                kept.emplace_back(sqlite3_column_double(statement, c));
                break;
            default:
                kept.emplace_back(
                    std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                size_t(sqlite3_column_bytes(statement, c))));
            }
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return columns;
}

// The C floor of writing `sql`'s rows to a workbook: read through SQLite's own library with
// every value kept, then written by libxlsxwriter in constant-memory mode, a row per row.
int cFloorWorkbook(const QString& database, const QString& sql, const QString& path)
{
    std::vector<Kept> kept;
    const int columns = readKept(database, sql, kept);
    const int rows = columns > 0 ? int(kept.size()) / columns : 0;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const Kept& value = kept[size_t(r) * size_t(columns) + size_t(c)];
            if (const double* number = std::get_if<double>(&value))
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), *number, nullptr);
            else if (const std::string* text = std::get_if<std::string>(&value))
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), text->c_str(), nullptr);
        }
    }
    workbook_close(workbook);
    return rows;
}

// The cells of a finished report as libxlsxwriter takes them: a number, a text, a formula with
// its number, or a blank, each with its format's number.
struct ReportCell
{
    lxw_row_t row;
    lxw_col_t col;
    Kept value;
    std::string formula;
    int format;
};

std::vector<ReportCell> reportCells(const grid::Sheet& sheet)
{
    std::vector<ReportCell> cells;
    sheet.forEachCell([&](int row, int col) {
        ReportCell cell{lxw_row_t(row - 1), lxw_col_t(col - 1), {}, {}, sheet.formatId(row, col)};
        if (sheet.isNumber(row, col))
            cell.value = sheet.number(row, col);
        else if (!sheet.isEmpty(row, col))
            cell.value = sheet.text(row, col).toStdString();
        cell.formula = sheet.formula(row, col).toStdString();
        cells.push_back(std::move(cell));
    });
    return cells;
}

// The floor of the report's own content: `sql`'s rows read as the C floor reads them, then the
// report's cells (taken from the product's sheet beforehand) written straight by libxlsxwriter
// in constant-memory mode, a format (bordered, all different) per format of the sheet. What the
// product spends beyond it is its own work; what it spends beyond the C floor is the report's
// content: its header rows, bordered empty cells, times as numbers and formulas.
void contentFloorWorkbook(const QString& database, const QString& sql, const std::vector<ReportCell>& cells,
                          int formatCount, const QString& path)
{
    std::vector<Kept> kept;
    readKept(database, sql, kept);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    std::vector<lxw_format*> formats(size_t(formatCount) + 1, nullptr);
    for (size_t f = 1; f < formats.size(); ++f) {
        formats[f] = workbook_add_format(workbook);
        format_set_border(formats[f], LXW_BORDER_THIN);
        format_set_font_size(formats[f], 8.0 + double(f)); // formats alike would be looked up per cell
    }
    for (const ReportCell& cell : cells) {
        lxw_format* format = formats[size_t(cell.format)];
        const double* number = std::get_if<double>(&cell.value);
        if (!cell.formula.empty())
            worksheet_write_formula_num(sheet, cell.row, cell.col, cell.formula.c_str(), format,
                                        number ? *number : 0);
        else if (number)
            worksheet_write_number(sheet, cell.row, cell.col, *number, format);
        else if (const std::string* text = std::get_if<std::string>(&cell.value))
            worksheet_write_string(sheet, cell.row, cell.col, text->c_str(), format);
        else
            worksheet_write_blank(sheet, cell.row, cell.col, format);
    }
    workbook_close(workbook);
}

// `request` written to .xlsx as talor report writes it, against the Qt SQL read, the C floor
// of `sql`'s rows (the rows the report shows) and the floor of the report's own cells.
void toWorkbook(LocalSuite& suite, const BatchReportRequest& request, const QString& sql, const QString& what,
                const QString& folder)
{
    BatchReport batch(suite);
    const QString product = folder + "/product.xlsx";
    const QString floor = folder + "/floor.xlsx";
    const QString content = folder + "/content.xlsx";
    batch.run(request);
    // Taken now: each run of the report makes its sheet anew.
    const std::vector<ReportCell> cells = reportCells(batch.book().active());
    const int formatCount = batch.book().active().formatCount();
    int rows = 0;
    const std::vector<double> times = alternately({
        [&] {
            batch.run(request);
            batch.output().exportTo(product);
        },
        [&] { rows = readAll(suite.connection(), sql); },
        [&] { cFloorWorkbook(suite.connection().databaseName(), sql, floor); },
        [&] { contentFloorWorkbook(suite.connection().databaseName(), sql, cells, formatCount, content); },
    });
    std::printf("%-52s %8.1f ms CPU; Qt SQL read %.1f ms: %.2fx; C floor %.1f ms: %.2fx (target 1.5x) %s; "
                "the report's cells by libxlsxwriter %.1f ms: %.2fx\n",
                qPrintable(what.arg(rows)), times[0] * 1000, times[1] * 1000, times[0] / times[1],
                times[2] * 1000, times[0] / times[2], times[0] / times[2] <= 1.5 ? "ok" : "OVER",
                times[3] * 1000, times[0] / times[3]);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    const QByteArray parts = argc > 2 ? QByteArray(argv[2]) : QByteArray("23rx");
    // The organisation of kind 2, of the .xlsx runs and of part "o".
    const int employees = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;

    // Kind 2: the whole organisation on its first working day.
    if (parts.contains('2')) {
        DemoOptions day;
        day.employees = employees;
        day.from = QDate(2026, 10, 5);
        day.days = 1;
        const QString dayConfig = DemoSuite::generate(dir.filePath("day"), day).configurationFile;
        LocalSuite suite(dayConfig);
        BatchReport batch(suite);
        const BatchReportRequest request{2, "ROOT", {}, day.from, {}, {}, {}, true};
        QElapsedTimer wall;
        wall.start();
        batch.run(request);
        const qint64 firstWall = wall.elapsed();
        int rows = 0;
        const QString sql =
            QStringLiteral("select * from kq0001 where zhdate='2026-10-05' order by memberid");
        const std::vector<double> times = alternately({
            [&] { batch.run(request); },
            [&] { rows = readAll(suite.connection(), sql); },
            [&] {
                Recordset records;
                records.open(sql, suite.connection());
            },
        });
        report(qPrintable(QStringLiteral("kind 2, organisation of %1 on one day (%2 rows)")
                              .arg(day.employees)
                              .arg(rows)),
               times[0], times[1], 1.5);
        report("  its rows alone into a recordset", times[2], times[1], 1.5);
        std::printf("%-52s %8lld ms wall, first run (target: grid within 500 ms)\n",
                    "kind 2, tree click to grid", static_cast<long long>(firstWall));
    }

    // Kind 3: 500 persons over a month.
    DemoOptions month;
    month.employees = 500;
    month.days = 31;
    const QString monthConfig = DemoSuite::generate(dir.filePath("month"), month).configurationFile;
    if (parts.contains('3')) {
        kindThree(monthConfig, false, month);
        if (!qEnvironmentVariable("TALOR_PG_HOST").isEmpty())
            kindThree(monthConfig, true, month);
        else
            std::printf("kind 3 on PostgreSQL: set TALOR_PG_HOST/PORT/DB/USER to measure it\n");
    }
    if (parts.contains('x') || parts.contains('d')) {
        DemoOptions day;
        day.employees = employees;
        day.from = QDate(2026, 10, 5);
        day.days = 1;
        QTemporaryDir dayDir;
        LocalSuite daySuite(DemoSuite::generate(dayDir.filePath("day"), day).configurationFile);
        toWorkbook(daySuite, {2, "ROOT", {}, day.from, {}, {}, {}, false},
                   "select * from kq0001 where zhdate='2026-10-05' order by memberid",
                   QStringLiteral("kind 2 to .xlsx, %1 persons (%2 rows)").arg(day.employees), dir.path());
    }
    if (parts.contains('x')) {
        // Kind 3 of the same organisation over a month: more persons than one worksheet holds
        // page breaks for, so the workbook is written over several worksheets.
        DemoOptions organisation = month;
        organisation.employees = employees;
        QTemporaryDir monthDir;
        LocalSuite monthSuite(
            DemoSuite::generate(monthDir.filePath("month"), organisation).configurationFile);
        const QDate last = organisation.from.addDays(organisation.days - 1);
        toWorkbook(monthSuite, {3, "ROOT", {}, {}, organisation.from, last, {}, false},
                   "select * from kq0001 order by memberid, zhdate",
                   QStringLiteral("kind 3 to .xlsx, %1 persons (%2 rows)").arg(organisation.employees),
                   dir.path());
    }
    if (parts.contains('o'))
        wholeOrganisation(employees, dir.filePath("organisation"));
    if (!parts.contains('r'))
        return 0;

    // talor report from process start to the written workbook, one team on one day.
    const QString output = dir.filePath("team.vts");
    qint64 fastest = 1 << 30;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer wall;
        wall.start();
        QProcess::execute(QStringLiteral(TALOR_BINARY),
                          {"report", "--suite", monthConfig, "--kind", "2", "--node", "C生产部装配一组甲班",
                           "--output", output});
        fastest = std::min(fastest, wall.elapsed());
    }
    std::printf("%-52s %8lld ms wall, whole run (target: start-up to first query under 300 ms)\n",
                "talor report, one team, one day", static_cast<long long>(fastest));
    return 0;
}
