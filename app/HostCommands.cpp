#include "HostCommands.h"

#include "DemoCommand.h"
#include "ReportCommand.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

namespace talor {

namespace {

QString windowDescription()
{
    return QStringLiteral(
        "Opens the attendance daily-report module in its window: the department tree, the employee\n"
        "list and the attendance table in a spreadsheet grid laid out by report templates.\n"
        "Without --suite it opens the demo suite in the user's data directory\n"
        "(~/.local/share/talor/talor/demo/suite.ini, below $XDG_DATA_HOME when that is set),\n"
        "creating it on the first run. The commands below serve batch use without a display.\n"
        "\n"
        "Exit status: 0 when the window is closed, 1 when the suite or the module cannot be\n"
        "opened, 2 for a bad command line.");
}

const QCommandLineOption& helpOption()
{
    static const QCommandLineOption option({QStringLiteral("h"), QStringLiteral("help")},
                                           QStringLiteral("Show this help and exit."));
    return option;
}

const QCommandLineOption& versionOption()
{
    static const QCommandLineOption option(QStringLiteral("version"),
                                           QStringLiteral("Show the version and exit."));
    return option;
}

// The options of a command as its help lists them: its own, then help (and the window's version).
QList<QCommandLineOption> listedOptions(const HostCommand& command)
{
    QList<QCommandLineOption> options = command.options;
    options << helpOption();
    if (command.name.isEmpty())
        options << versionOption();
    return options;
}

// "talor NAME SYNOPSIS"; a synopsis of more lines goes on indented below `indent` columns.
QString usageLine(const HostCommand& command, qsizetype indent)
{
    QString line = QStringLiteral("talor");
    if (!command.name.isEmpty())
        line += u' ' + command.name;
    const QStringList synopsis = command.synopsis.split(u'\n');
    line += u' ' + synopsis.first();
    for (qsizetype n = 1; n < synopsis.size(); ++n)
        line += u'\n' + QString(indent + 6, u' ') + synopsis.at(n).trimmed();
    return line;
}

// The usage lines of every command.
QString everyUsage()
{
    QString text;
    QString prefix = QStringLiteral("usage: ");
    for (const HostCommand& command : hostCommands()) {
        text += prefix + usageLine(command, prefix.size()) + u'\n';
        prefix.fill(u' ');
    }
    return text;
}

// "-h" or "--help".
QString dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "-h, --help" or "--suite <file>".
QString optionNames(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << dashed(name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <") + option.valueName() + u'>';
    return text;
}

// The paragraphs of a description: blank lines part them.
QList<QStringList> paragraphs(const QString& text)
{
    QList<QStringList> result{{}};
    for (const QString& line : text.split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            if (!result.last().isEmpty())
                result.append(QStringList());
        } else {
            result.last() << line;
        }
    }
    if (result.last().isEmpty())
        result.removeLast();
    return result;
}

// Text for troff: backslashes and hyphens escaped, no line taken for a request.
QString troff(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
    if (escaped.startsWith(u'.') || escaped.startsWith(u'\''))
        escaped.prepend(QStringLiteral("\\&"));
    return escaped;
}

// A description in troff: a paragraph of indented lines stays as it is, others are filled.
QString troffDescription(const QString& description)
{
    QString page;
    for (const QStringList& paragraph : paragraphs(description)) {
        page += QStringLiteral(".PP\n");
        if (paragraph.first().startsWith(u' ')) {
            // An indented block keeps its lines' indentation beyond the first line's: a table's
            // continuation lines stay under their entry.
            const auto blanksBefore = [](const QString& line) {
                qsizetype n = 0;
                while (n < line.size() && line[n] == u' ')
                    ++n;
                return n;
            };
            const qsizetype indent = blanksBefore(paragraph.first());
            page += QStringLiteral(".nf\n.RS\n");
            for (const QString& line : paragraph)
                page += troff(line.mid(std::min(indent, blanksBefore(line)))) + u'\n';
            page += QStringLiteral(".RE\n.fi\n");
        } else {
            for (const QString& line : paragraph)
                page += troff(line) + u'\n';
        }
    }
    return page;
}

QString troffOptions(const HostCommand& command)
{
    QString page;
    for (const QCommandLineOption& option : listedOptions(command)) {
        QStringList names;
        for (const QString& name : option.names())
            names << QStringLiteral("\\fB") + troff(dashed(name)) + QStringLiteral("\\fR");
        QString head = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            head += QStringLiteral(" \\fI") + troff(option.valueName()) + QStringLiteral("\\fR");
        page += QStringLiteral(".TP\n") + head + u'\n' + troff(option.description()) + u'\n';
    }
    return page;
}

} // namespace

const QList<HostCommand>& hostCommands()
{
    static const QList<HostCommand> commands = {
        {{},
         QStringLiteral("[--suite FILE]"),
         QStringLiteral("Open the module in its window."),
         windowDescription(),
         {{QStringLiteral("suite"),
           QStringLiteral("Open the suite configured in <file> instead of the demo suite."),
           QStringLiteral("file")}},
         nullptr,
         false},
        {QStringLiteral("demo"),
         QStringLiteral("--dir DIR [--employees N] [--days N] [--from YYYY-MM-DD] [--seed S]"),
         QStringLiteral("Write a demo suite into a directory."), demoDescription(), demoOptions(),
         runDemoCommand, false},
        {QStringLiteral("report"),
         QStringLiteral(
             "--suite FILE --kind 1|2|3|overview --node KEY [--person MEMBERID] [--date YYYY-MM-DD]\n"
             "[--from YYYY-MM-DD --to YYYY-MM-DD] [--report NAME] [--sum] --output FILE"),
         QStringLiteral("Write one report into a PDF or a workbook (.pdf, .xls, .xlsx or .vts)."),
         reportDescription(), reportOptions(), runReportCommand, true},
        {QStringLiteral("print"),
         QStringLiteral(
             "--suite FILE --kind 1|2|3|overview --node KEY [--person MEMBERID] [--date YYYY-MM-DD]\n"
             "[--from YYYY-MM-DD --to YYYY-MM-DD] [--report NAME] [--sum]"),
         QStringLiteral("Print one report on the default printer."), reportDescription(), printOptions(),
         runReportCommand, true},
    };
    return commands;
}

const HostCommand* commandOf(const QStringList& arguments)
{
    const QString word =
        arguments.size() > 1 && !arguments.at(1).startsWith(u'-') ? arguments.at(1) : QString();
    for (const HostCommand& command : hostCommands())
        if (command.name == word)
            return &command;
    return nullptr;
}

QString helpText(const HostCommand& command)
{
    QString text;
    QTextStream out(&text);
    if (command.name.isEmpty()) {
        out << everyUsage();
    } else {
        out << "usage: " << usageLine(command, 7) << "\n";
    }
    out << "\n" << command.description << "\n\noptions:\n";
    const QList<QCommandLineOption> options = listedOptions(command);
    qsizetype width = 0;
    for (const QCommandLineOption& option : options)
        width = std::max(width, optionNames(option).size());
    for (const QCommandLineOption& option : options)
        out << "  " << optionNames(option).leftJustified(width) << "  " << option.description() << "\n";
    if (command.name.isEmpty()) {
        out << "\ncommands:\n";
        for (const HostCommand& each : hostCommands())
            if (!each.name.isEmpty())
                out << "  " << each.name.leftJustified(8) << "  " << each.summary << "\n";
        out << "\n\"talor COMMAND --help\" shows a command's options; \"man talor\" all of them.\n";
    }
    return text;
}

int usageError(const HostCommand& command, const QString& message)
{
    const QString program =
        command.name.isEmpty() ? QStringLiteral("talor") : QStringLiteral("talor ") + command.name;
    QTextStream(stderr) << program << ": " << message << "\n"
                        << "usage: " << usageLine(command, 7) << "\n(" << program
                        << " --help lists the options)" << Qt::endl;
    return 2;
}

namespace {

// Qt's options of every application that take a value, and those that stand alone.
const QStringList QtValueOptions{
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "title",         "name"};
const QStringList QtFlagOptions{"reverse", "widgetcount", "nograb", "dograb", "sync", "visual", "cmap"};

// "style" of "-style", "--style" or "-style=Fusion"; empty for anything else.
QString qtOptionName(const QString& argument)
{
    if (!argument.startsWith(u'-') || argument == u"-" || argument == u"--")
        return {};
    return argument.mid(argument.startsWith(u"--") ? 2 : 1).section(u'=', 0, 0);
}

} // namespace

QStringList withoutQtOptions(const QStringList& arguments)
{
    if (commandOf(arguments) == nullptr || !commandOf(arguments)->name.isEmpty())
        return arguments;
    QStringList kept{arguments.value(0)};
    for (qsizetype n = 1; n < arguments.size(); ++n) {
        const QString name = qtOptionName(arguments.at(n));
        if (QtValueOptions.contains(name)) {
            if (!arguments.at(n).contains(u'='))
                ++n; // its value
        } else if (!QtFlagOptions.contains(name) && !name.startsWith(u"qmljsdebugger")) {
            kept << arguments.at(n);
        }
    }
    return kept;
}

bool hasDisplay(const QStringList& arguments)
{
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (qsizetype n = 1; n < arguments.size(); ++n)
        if (qtOptionName(arguments.at(n)) == u"platform")
            platform =
                arguments.at(n).contains(u'=') ? arguments.at(n).section(u'=', 1) : arguments.value(n + 1);
    platform = platform.section(u':', 0, 0).section(u';', 0, 0);
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform == u"xcb")
        return x11;
    if (platform.startsWith(u"wayland"))
        return wayland;
    return true;
}

int checkCommandLine(const QStringList& given)
{
    const QStringList arguments = withoutQtOptions(given);
    const HostCommand* command = commandOf(arguments);
    if (command == nullptr) {
        QTextStream(stderr) << "talor: unknown command \"" << arguments.at(1) << "\"\n"
                            << everyUsage() << "(talor --help lists the commands)" << Qt::endl;
        return 2;
    }
    QCommandLineParser parser;
    parser.addOptions(listedOptions(*command));
    if (!parser.parse(arguments))
        return usageError(*command, parser.errorText());
    if (parser.isSet(helpOption().names().constLast())) {
        QTextStream(stdout) << helpText(*command);
        return 0;
    }
    if (command->name.isEmpty() && parser.isSet(versionOption().names().constFirst())) {
        QTextStream(stdout) << "talor " << TALOR_VERSION << "\n";
        return 0;
    }
    QStringList positional = parser.positionalArguments();
    if (!command->name.isEmpty())
        positional.removeFirst();
    if (!positional.isEmpty())
        return usageError(*command, QStringLiteral("unexpected argument \"%1\"").arg(positional.first()));
    return -1;
}

QString manualPage()
{
    const QList<HostCommand>& commands = hostCommands();
    QString page = QStringLiteral(".TH TALOR 1 \"\" \"talor %1\" \"User Commands\"\n")
                       .arg(QStringLiteral(TALOR_VERSION));
    page += QStringLiteral(".nh\n.ad l\n.SH NAME\ntalor \\- the attendance daily report\n.SH SYNOPSIS\n");
    for (const HostCommand& command : commands) {
        page += QStringLiteral(".B talor\n");
        if (!command.name.isEmpty())
            page += QStringLiteral(".B ") + command.name + u'\n';
        for (const QString& line : command.synopsis.split(u'\n'))
            page += troff(line.trimmed()) + u'\n';
        page += QStringLiteral(".br\n");
    }
    page += QStringLiteral(".SH DESCRIPTION\n") + troffDescription(commands.first().description);
    page += QStringLiteral(".SH OPTIONS\n") + troffOptions(commands.first());
    page += QStringLiteral(".SH COMMANDS\n");
    for (const HostCommand& command : commands) {
        if (command.name.isEmpty())
            continue;
        page += QStringLiteral(".SS \"talor ") + command.name + QStringLiteral("\"\n");
        page += troff(command.summary) + u'\n';
        page += troffDescription(command.description) + troffOptions(command);
    }
    page +=
        QStringLiteral(".SH EXIT STATUS\n"
                       ".TP\n\\fB0\\fR\n"
                       "The window was closed, or the command wrote or printed what it was asked.\n"
                       ".TP\n\\fB1\\fR\n"
                       "The suite, its database, the module, a file or the printer failed; standard error "
                       "says which and why. Also when records of a period report had no day row of their "
                       "own: the output is written without them, and standard error says how many.\n"
                       ".TP\n\\fB2\\fR\n"
                       "A bad command line or request: an unknown command, option, node, person or report, a "
                       "date that is not YYYY\\-MM\\-DD, a bad kind or output suffix.\n");
    page +=
        QStringLiteral(".SH EXAMPLES\n"
                       "Write a demo suite, then the day report of its production department with the sum "
                       "row, a month of one team as a workbook, the month's abnormal days of the whole "
                       "organisation at a glance, and open the window on it:\n"
                       ".PP\n.nf\n.RS\n"
                       "talor demo \\-\\-dir ~/talor\\-demo\n"
                       "talor report \\-\\-suite ~/talor\\-demo/suite.ini \\-\\-kind 2 \\-\\-node A生产部 "
                       "\\-\\-date 2026\\-10\\-05 \\-\\-sum \\-\\-output day.pdf\n"
                       "talor report \\-\\-suite ~/talor\\-demo/suite.ini \\-\\-kind 3 "
                       "\\-\\-node C生产部装配一组甲班 \\-\\-from 2026\\-10\\-01 \\-\\-to 2026\\-10\\-31 "
                       "\\-\\-output month.xlsx\n"
                       "talor report \\-\\-suite ~/talor\\-demo/suite.ini \\-\\-kind overview "
                       "\\-\\-node ROOT \\-\\-from 2026\\-10\\-01 \\-\\-to 2026\\-10\\-31 "
                       "\\-\\-output abnormal.pdf\n"
                       "talor \\-\\-suite ~/talor\\-demo/suite.ini\n"
                       ".RE\n.fi\n");
    page += QStringLiteral(".SH FILES\n"
                           ".TP\n"
                           "\\fI~/.local/share/talor/talor/demo/suite.ini\\fR\n"
                           "The demo suite that \\fBtalor\\fR opens without \\fB\\-\\-suite\\fR; its logs "
                           "and templates sit beside it.\n"
                           ".TP\n"
                           "\\fI~/.cache/talor/\\fR\n"
                           "The print files (Tmp.xls, and the PDF of a print without a printer) of a "
                           "suite whose \\fB[paths] temporary\\fR is empty, as the demo's is.\n"
                           ".TP\n"
                           "\\fIdll/\\fR\n"
                           "The folder beside the \\fBtalor\\fR program where the module library "
                           "\\fItalor.so\\fR and other components of the suite are found by class name.\n");
    page +=
        QStringLiteral(".SH ENVIRONMENT\n"
                       ".TP\n"
                       "\\fBQT_QPA_PLATFORM\\fR\n"
                       "\\fBoffscreen\\fR runs the window without a display; the batch commands need none.\n"
                       ".TP\n"
                       "\\fBXDG_DATA_HOME\\fR\n"
                       "The user's data directory, which holds the demo suite.\n");
    return page;
}

} // namespace talor
