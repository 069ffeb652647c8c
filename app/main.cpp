// talor: the host that plays the suite for the attendance module.
//
//   talor                      open the module on the demo suite (created on first run)
//   talor --suite FILE         open the module on the suite configured in FILE
//   talor demo --dir DIR ...   write a demo suite into DIR (see docs/suite-config.md)
//   talor report --suite FILE ...  write one report into a PDF or workbook (talor report --help)
//   talor print --suite FILE ...   print it (talor print --help)
//
// The commands, their options and their help are listed in HostCommands.cpp.

#include "HostCommands.h"
#include "demo/DefaultSuite.h"
#include "entry/ModuleRegistry.h"
#include "io/FileWrite.h"
#include "suite/LocalSuite.h"
#include "ui/QtUiService.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QGuiApplication>
#include <QTextStream>
#include <csignal>

namespace {

int runModule(QApplication& app, const QString& suiteFile)
{
    talor::QtUiService ui;
    talor::QtUiService::installChineseTranslations();
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

} // namespace

int main(int argc, char** argv)
{
    // A file that reaches the size limit (ulimit -f) fails its write with EFBIG, which every
    // writer reports, instead of ending the process halfway with its temporary files left.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setOrganizationName(QStringLiteral("talor"));
    QCoreApplication::setApplicationName(QStringLiteral("talor"));

    // The command line is checked before any application object exists, so that help and usage
    // errors need no display.
    QStringList arguments;
    for (int n = 0; n < argc; ++n)
        arguments << QString::fromLocal8Bit(argv[n]);
    if (const int status = talor::checkCommandLine(arguments); status >= 0)
        return status;
    const talor::HostCommand& command = *talor::commandOf(arguments);
    // A batch command stopped by Ctrl-C or kill leaves no partial file behind.
    if (command.run != nullptr)
        talor::io::removeTemporaryFilesOnSignals();
    if (command.run != nullptr && !command.drawsPages) {
        QCoreApplication app(argc, argv);
        return command.run(app.arguments());
    }
    if (command.run != nullptr) {
        // Pages need fonts and printers, not a screen: without a platform chosen, none is used.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return command.run(app.arguments());
    }

    QCommandLineParser parser;
    parser.addOptions(command.options);
    parser.parse(talor::withoutQtOptions(arguments));
    const QString suiteFile = parser.value(QStringLiteral("suite"));
    if (parser.isSet(QStringLiteral("suite")) && suiteFile.isEmpty())
        return talor::usageError(command,
                                 QStringLiteral("--suite needs the name of a suite configuration file"));

    if (!talor::hasDisplay(arguments)) {
        QTextStream(stderr) << "talor: there is no display to open the window on (neither DISPLAY nor "
                               "WAYLAND_DISPLAY is set); the batch commands need none (talor --help)"
                            << Qt::endl;
        return 1;
    }
    // The desktop links the window to the launcher of the same id (its menu entry and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talor.talor"));
    QApplication app(argc, argv);
    app.setFont(talor::QtUiService::desktopFont());
    return runModule(app, suiteFile);
}
