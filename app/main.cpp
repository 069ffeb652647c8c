// talor: the host that plays the suite for the attendance module.
//
//   talor                      open the module on the demo suite (created on first run)
//   talor --suite FILE         open the module on the suite configured in FILE
//   talor demo --dir DIR ...   write a demo suite into DIR (see docs/suite-config.md)
//   talor report --suite FILE ...  write one report into a PDF or workbook (talor report --help)
//   talor print --suite FILE ...   print it (talor print --help)

#include "ReportCommand.h"
#include "entry/ModuleRegistry.h"
#include "suite/DemoCommand.h"
#include "suite/LocalSuite.h"
#include "ui/QtUiService.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QGuiApplication>
#include <QTextStream>

namespace {

int runModule(QApplication& app, const QString& suiteFile)
{
    talor::QtUiService ui;
    try {
        const QString configuration = suiteFile.isEmpty() ? talor::ensureDefaultSuite() : suiteFile;
        talor::LocalSuite suite(configuration);
        const talor::ModuleRegistry registry(talor::ModuleRegistry::dllDirectoryOf(app.applicationDirPath()));
        auto module = registry.create(QStringLiteral("talor.clszh"), suite, ui);
        module->zh();
        return 0;
    } catch (const std::exception& e) {
        // Standard error first: a box may wait for a person who is not there. Without a real
        // display (offscreen, minimal) nobody could close the box, so there is none.
        QTextStream(stderr) << "talor: " << QString::fromStdString(e.what()) << Qt::endl;
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            ui.message(nullptr, QString::fromStdString(e.what()));
        return 1;
    }
}

int usageError(const QString& text)
{
    QTextStream(stderr) << "talor: " << text << "\n"
                        << "usage: talor [--suite FILE] | talor demo --dir DIR ... | talor report ... | talor print ... "
                           "(talor --help)"
                        << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("talor"));
    QCoreApplication::setApplicationName(QStringLiteral("talor"));

    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == QLatin1String("demo")) {
        QCoreApplication app(argc, argv);
        return talor::runDemoCommand(app.arguments());
    }
    if (argc > 1 && (QString::fromLocal8Bit(argv[1]) == QLatin1String("report") ||
                     QString::fromLocal8Bit(argv[1]) == QLatin1String("print"))) {
        // Pages need fonts and printers, not a screen: without a platform chosen, none is used.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return talor::runReportCommand(app.arguments());
    }

    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("TALOR attendance daily report"));
    parser.addHelpOption();
    const QCommandLineOption suiteOption(QStringLiteral("suite"),
                                         QStringLiteral("Use the suite configured in <file> instead of the demo."),
                                         QStringLiteral("file"));
    parser.addOption(suiteOption);
    // Usage errors exit with 2, start-up errors with 1.
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    if (parser.isSet(suiteOption) && parser.value(suiteOption).isEmpty())
        return usageError(QStringLiteral("--suite needs the name of a suite configuration file"));
    return runModule(app, parser.value(suiteOption));
}
