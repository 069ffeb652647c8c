#include "HostCommands.h"

#include "ReportCommand.h"
#include "suite/DemoCommand.h"

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
            page += QStringLiteral(".nf\n.RS\n");
            for (const QString& line : paragraph)
                page += troff(line.trimmed()) + u'\n';
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
         nullptr, false},
        {QStringLiteral("demo"),
         QStringLiteral("--dir DIR [--employees N] [--days N] [--from YYYY-MM-DD] [--seed S]"),
         QStringLiteral("Write a demo suite into a directory."), demoDescription(), demoOptions(),
         runDemoCommand, false},
        {QStringLiteral("report"),
         QStringLiteral("--suite FILE --kind 1|2|3 --node KEY [--person MEMBERID] [--date YYYY-MM-DD]\n"
                        "[--from YYYY-MM-DD --to YYYY-MM-DD] [--report NAME] [--sum] --output FILE"),
         QStringLiteral("Write one report into a PDF or a workbook (.pdf, .xls, .xlsx or .vts)."),
         reportDescription(), reportOptions(), runReportCommand, true},
        {QStringLiteral("print"),
         QStringLiteral("--suite FILE --kind 1|2|3 --node KEY [--person MEMBERID] [--date YYYY-MM-DD]\n"
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

int checkCommandLine(const QStringList& arguments)
{
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
    page += QStringLiteral(".SH FILES\n"
                           ".TP\n"
                           "\\fI~/.local/share/talor/talor/demo/suite.ini\\fR\n"
                           "The demo suite that \\fBtalor\\fR opens without \\fB\\-\\-suite\\fR; its logs, "
                           "temporary files and templates sit beside it.\n"
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
