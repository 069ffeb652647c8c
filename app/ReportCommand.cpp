#include "ReportCommand.h"

#include "entry/BatchReport.h"
#include "grid/Workbook.h"
#include "overview/OverviewSheet.h"
#include "report/PrintRun.h"
#include "suite/LocalSuite.h"
#include "ui/QtUiService.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QTextStream>
#include <unistd.h>

namespace talor {

namespace {

struct UsageError
{
    QString message;
};

// Output that failed (a file, a page, the printer).
class OutputError : public std::runtime_error
{
public:
    explicit OutputError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

enum class Output
{
    Template,
    Excel,
    Pages
};

// Fails with what failed of the output's steps. A PRINT setting the report refuses is no
// failure: as in the window, it is left out and the other settings apply. Once a workbook is
// `written`, what is left of its steps is the page set-up the workbook could not hold (a header
// or footer past its 255 characters): no failure either, for the file is in place, written as
// the window writes it, without that part. Each is told once on standard error.
void failOnSkipped(QStringList skipped, const QString& command, bool written = false)
{
    skipped.removeDuplicates();
    QStringList failures;
    QTextStream err(stderr);
    for (const QString& step : std::as_const(skipped)) {
        if (step.startsWith(QLatin1String("PRINT ")))
            err << "talor " << command << ": " << step << " (left out; the other settings apply)\n";
        else if (written)
            err << "talor " << command << ": " << step
                << " (left out; the rest of the workbook is written)\n";
        else
            failures << step;
    }
    if (!failures.isEmpty())
        throw OutputError(failures.join(QStringLiteral("; ")));
}

// The report's pages into `job`: one person, or with kind 1 and no person every person of the
// node, the progress on standard error.
void writePages(BatchReport& report, const BatchReportRequest& request, PrintJob& job, const QString& command)
{
    QStringList skipped;
    if (request.kind == 1 && request.person.isEmpty()) {
        QTextStream err(stderr);
        QElapsedTimer clock;
        clock.start();
        // On a terminal one line says where the run is, rewritten person by person; into a pipe
        // or a file only the summary goes.
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        report.runEachPerson(request, [&](int index, int count, const QString& name) {
            const int inJob = job.reports();
            skipped << report.output().addPages(job).skipped;
            // Pages the job did not take (a PDF that cannot be written): the other persons
            // would fail alike, so the walk ends with the failure.
            if (job.reports() == inJob) {
                if (terminal)
                    err << "\r\x1b[K";
                err.flush();
                failOnSkipped(skipped, command);
            }
            if (terminal) {
                err << "\r\x1b[K"
                    << "talor " << command << ": " << index << "/" << count << " " << name;
                err.flush();
            }
        });
        if (terminal)
            err << "\r\x1b[K";
        err << "talor " << command << ": " << job.reports() << " persons, " << job.pages() << " pages in "
            << clock.elapsed() / 1000.0 << " s\n";
    } else {
        // A department's period runs to hundreds of pages: on a terminal one line counts them.
        QTextStream err(stderr);
        QElapsedTimer clock;
        clock.start();
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        if (terminal) {
            err << "talor " << command << ": reading the report";
            err.flush();
            job.setPageProgress([&](int page, int pages) {
                if (page % 10 == 0 || page == pages) {
                    err << "\r\x1b[K"
                        << "talor " << command << ": page " << page << "/" << pages;
                    err.flush();
                }
            });
        }
        report.run(request);
        skipped << report.output().addPages(job).skipped;
        job.setPageProgress({});
        if (terminal)
            err << "\r\x1b[K";
        if (job.pages() > 1)
            err << "talor " << command << ": " << job.pages() << " pages in " << clock.elapsed() / 1000.0
                << " s\n";
    }
    failOnSkipped(skipped, command);
    job.finish();
}

QDate dateOption(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        return {};
    const QString text = parser.value(name);
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw UsageError{QStringLiteral("--%1 %2 is not a date YYYY-MM-DD").arg(name, text)};
    return date;
}

} // namespace

QString reportDescription()
{
    return QString::fromUtf8(
        "Writes one attendance report, laid out by its template and filled as the window fills it:\n"
        "the pages as printed for .pdf (the page set-up of the report's PRINT settings), an Excel\n"
        "workbook with that page set-up for .xls and .xlsx, the template format for .vts (refused\n"
        "beyond the 16 MiB a template may have: a larger report is kept as .xlsx).\n"
        "talor print prints the same pages on the default printer. No display needed.\n"
        "\n"
        "  --kind 1   one person over a period (--node and --person; --from/--to); without --person\n"
        "             a PDF or print holds every person of the node in list order, progress on\n"
        "             standard error (one updating line on a terminal, a summary otherwise)\n"
        "  --kind 2   the employees of a node on one day (--date; --sum adds the sum row)\n"
        "  --kind 3   the employees of a node over a period, one 36-row block each (--from/--to)\n"
        "  --kind overview\n"
        "             the abnormal days of a node's employees over a period at a glance (--from/--to;\n"
        "             pages only): a bar chart of the marked persons per day, then a row per person\n"
        "             with each day the abnormal colours mark (nColor 1, 2, 3) filled in its colour\n"
        "\n"
        "Node keys are those of the department tree: ROOT, A + department, B + department + group,\n"
        "C + department + group + team (for example A生产部), or the names joined by / (B生产部/装配一组);\n"
        "a key the names of several nodes run together to (一车间 一班, 一车间一 班) is refused as\n"
        "ambiguous, naming their / keys. Dates are YYYY-MM-DD; without them\n"
        "the suite's report date and period apply.\n"
        "\n"
        "The commands the window's set-up restricts (its restricted list, the module key + MENU in\n"
        "the settings file) hide only the window's menus and buttons: the command line is the site\n"
        "administrator's tool and writes or prints whatever it is asked.\n"
        "\n"
        "Exit status: 0 written, 1 the suite, database, a file or the printer failed, or records of\n"
        "the period had no day row of a kind-3 report (written without them, standard error says\n"
        "how many and the first), 2 a bad request.");
}

QList<QCommandLineOption> reportOptions()
{
    return {
        {"suite", "The suite configuration <file>.", "file"},
        {"kind", "The report kind <1|2|3|overview>.", "kind"},
        {"node", "The department tree node <key>.", "key"},
        {"person", "The employee <memberid> of a kind-1 report.", "memberid"},
        {"date", "The day <YYYY-MM-DD> of a kind-2 report.", "date"},
        {"from", "The period's first day <YYYY-MM-DD>.", "date"},
        {"to", "The period's last day <YYYY-MM-DD>.", "date"},
        {"report", "The report <name> (default: the module's own).", "name"},
        {"sum", "Add the sum row (kinds 1 and 2)."},
        {"output", "talor report: the <file> to write (.pdf, .xls, .xlsx or .vts).", "file"},
    };
}

// talor print takes the report's options but prints instead of writing a file.
QList<QCommandLineOption> printOptions()
{
    QList<QCommandLineOption> options = reportOptions();
    options.removeIf(
        [](const QCommandLineOption& option) { return option.names().contains(QStringLiteral("output")); });
    return options;
}

int runReportCommand(const QStringList& arguments)
{
    const QString command = arguments.value(1);
    const bool printing = command == QLatin1String("print");
    const QString prefix = "talor " + command + ": ";
    QTextStream err(stderr);
    // The command line has been checked against the command's options (HostCommands.cpp).
    QCommandLineParser parser;
    parser.addOptions(reportOptions());
    if (!parser.parse(arguments)) {
        err << prefix << parser.errorText() << "\n";
        return 2;
    }

    BatchReportRequest request;
    QString output;
    Output type = Output::Pages;
    bool overview = false;
    try {
        for (const char* required : {"suite", "kind", "node", "output"})
            if (!parser.isSet(QString::fromLatin1(required)) &&
                !(printing && QLatin1String(required) == "output"))
                throw UsageError{QStringLiteral("--%1 is required").arg(QString::fromLatin1(required))};
        const QString kind = parser.value(QStringLiteral("kind"));
        overview = kind == QLatin1String("overview");
        if (kind != "1" && kind != "2" && kind != "3" && !overview)
            throw UsageError{QStringLiteral("--kind %1 is not 1, 2, 3 or overview").arg(kind)};
        request.kind = overview ? 3 : kind.toInt();
        request.node = parser.value(QStringLiteral("node"));
        request.person = parser.value(QStringLiteral("person"));
        // Only the person report reads a person: elsewhere the option would be ignored, and the
        // whole node written as if it were that person's report.
        if (parser.isSet(QStringLiteral("person")) && request.kind != 1)
            throw UsageError{QStringLiteral("--person goes with --kind 1 only")};
        // Likewise the day, the period and the sum row go with the kinds that read them.
        const bool dayReport = request.kind == 2;
        if (parser.isSet(QStringLiteral("date")) && !dayReport)
            throw UsageError{QStringLiteral("--date goes with --kind 2 only; a period is --from and --to")};
        if ((parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("to"))) && dayReport)
            throw UsageError{QStringLiteral("--from and --to go with a period; --kind 2 takes --date")};
        if (parser.isSet(QStringLiteral("sum")) && request.kind == 3)
            throw UsageError{QStringLiteral("--sum goes with --kind 1 or 2 only")};
        request.date = dateOption(parser, QStringLiteral("date"));
        request.from = dateOption(parser, QStringLiteral("from"));
        request.to = dateOption(parser, QStringLiteral("to"));
        if (request.from.isValid() != request.to.isValid())
            throw UsageError{QStringLiteral("--from and --to go together")};
        if (request.from.isValid() && request.from > request.to)
            throw UsageError{
                QStringLiteral("--from %1 lies after --to %2")
                    .arg(parser.value(QStringLiteral("from")), parser.value(QStringLiteral("to")))};
        request.report = parser.value(QStringLiteral("report"));
        request.sum = parser.isSet(QStringLiteral("sum"));
        output = parser.value(QStringLiteral("output"));
        const QString suffix = QFileInfo(output).suffix().toLower();
        if (suffix == "xls" || suffix == "xlsx")
            type = Output::Excel;
        else if (suffix == "vts")
            type = Output::Template;
        else if (!printing && suffix != "pdf")
            throw UsageError{
                QStringLiteral("--output %1 is not a .pdf, .xls, .xlsx or .vts file").arg(output)};
        if (overview && type != Output::Pages)
            throw UsageError{
                QStringLiteral("--kind overview writes pages: --output %1 is not a .pdf file").arg(output)};
    } catch (const UsageError& error) {
        err << prefix << error.message << "\n";
        return 2;
    }

    try {
        LocalSuite suite(parser.value(QStringLiteral("suite")));
        BatchReport report(suite);
        if (type == Output::Pages) {
            std::unique_ptr<PrintJob> job;
            QtUiService desktop;
            QString printer;
            if (!printing)
                job = PrintJob::toPdf(output, QFileInfo(output).completeBaseName());
            else if (!desktop.defaultPrinter(QStringLiteral("talor"), printer))
                throw OutputError(QStringLiteral(
                    "this machine has no printer; talor report --output FILE.pdf writes the pages"));
            else
                job = PrintJob::toPrinter(desktop, {}, QStringLiteral("talor"));
            if (overview) {
                OverviewSheet(report.overview(request), report.abnormalColours()).addPages(*job);
                job->finish();
            } else {
                writePages(report, request, *job, command);
            }
        } else {
            report.run(request);
            if (type == Output::Template) {
                report.book().write(output, grid::FileType::Template);
            } else {
                const PrintRun::Result result = report.output().exportTo(output);
                failOnSkipped(result.skipped, command, result.written);
            }
        }
        // The output is in place, but without what the report left out: not the whole report.
        if (const QString leftOut = report.leftOut(); !leftOut.isEmpty()) {
            err << prefix << leftOut << " (the output is written without them)\n";
            return 1;
        }
    } catch (const BatchRequestError& error) {
        err << prefix << error.message() << "\n";
        return 2;
    } catch (const std::exception& error) {
        // A PDF is written completely or not at all: the file that was there stays.
        err << prefix << QString::fromUtf8(error.what()) << "\n";
        return 1;
    }
    return 0;
}

} // namespace talor
