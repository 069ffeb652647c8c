#include "ReportCommand.h"

#include "entry/BatchReport.h"
#include "grid/Workbook.h"
#include "suite/LocalSuite.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace talor {

namespace {

struct UsageError
{
    QString message;
};

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
        "Writes one attendance report, laid out by its template and filled as the window fills it,\n"
        "into a workbook: Excel for .xls and .xlsx, the template format for .vts. No display needed.\n"
        "\n"
        "  --kind 1   one person over a period (--node and --person; --from/--to)\n"
        "  --kind 2   the employees of a node on one day (--date; --sum adds the sum row)\n"
        "  --kind 3   the employees of a node over a period, one 36-row block each (--from/--to)\n"
        "\n"
        "Node keys are those of the department tree: ROOT, A + department, B + department + group,\n"
        "C + department + group + team (for example A生产部). Dates are YYYY-MM-DD; without them\n"
        "the suite's report date and period apply.\n"
        "\n"
        "Exit status: 0 written, 1 the suite, database or a file failed, 2 a bad request.");
}

QList<QCommandLineOption> reportOptions()
{
    return {
        {"suite", "The suite configuration <file>.", "file"},
        {"kind", "The report kind <1|2|3>.", "kind"},
        {"node", "The department tree node <key>.", "key"},
        {"person", "The employee <memberid> of a kind-1 report.", "memberid"},
        {"date", "The day <YYYY-MM-DD> of a kind-2 report.", "date"},
        {"from", "The period's first day <YYYY-MM-DD>.", "date"},
        {"to", "The period's last day <YYYY-MM-DD>.", "date"},
        {"report", "The report <name> (default: the module's own).", "name"},
        {"sum", "Add the sum row (kinds 1 and 2)."},
        {"output", "The workbook <file> to write (.xls, .xlsx or .vts).", "file"},
    };
}

int runReportCommand(const QStringList& arguments)
{
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.addOptions(reportOptions());
    if (!parser.parse(arguments)) {
        err << "talor report: " << parser.errorText() << "\n";
        return 2;
    }

    BatchReportRequest request;
    QString output;
    grid::FileType type = grid::FileType::Template;
    try {
        for (const char* required : {"suite", "kind", "node", "output"})
            if (!parser.isSet(QString::fromLatin1(required)))
                throw UsageError{QStringLiteral("--%1 is required").arg(QString::fromLatin1(required))};
        const QString kind = parser.value(QStringLiteral("kind"));
        if (kind != "1" && kind != "2" && kind != "3")
            throw UsageError{QStringLiteral("--kind %1 is not 1, 2 or 3").arg(kind)};
        request.kind = kind.toInt();
        request.node = parser.value(QStringLiteral("node"));
        request.person = parser.value(QStringLiteral("person"));
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
            type = grid::FileType::Excel;
        else if (suffix != "vts")
            throw UsageError{QStringLiteral("--output %1 is not a .xls, .xlsx or .vts file").arg(output)};
    } catch (const UsageError& error) {
        err << "talor report: " << error.message << "\n";
        return 2;
    }

    try {
        LocalSuite suite(parser.value(QStringLiteral("suite")));
        BatchReport report(suite);
        report.run(request);
        report.book().write(output, type);
    } catch (const BatchRequestError& error) {
        err << "talor report: " << error.message() << "\n";
        return 2;
    } catch (const std::exception& error) {
        err << "talor report: " << QString::fromUtf8(error.what()) << "\n";
        return 1;
    }
    return 0;
}

} // namespace talor
