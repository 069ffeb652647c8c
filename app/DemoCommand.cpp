#include "DemoCommand.h"

#include "demo/DemoScratch.h"
#include "demo/DemoSuite.h"
#include "suite/SuiteServices.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace talor {

namespace {

// The folder in which this process builds a demo suite right now; empty when it builds none.
std::mutex buildingMutex;
QString buildingParent;

// Ctrl-C, a closed terminal or a plain kill end a run without leaving its hidden scratch
// directory: those signals go to a thread of their own, which removes the directory and then
// ends the process by the same signal. (A run killed outright leaves the directory to the next
// run.) Set up once per process, before the build starts threads of its own.
void watchSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sigset_t signals;
        sigemptyset(&signals);
        for (const int s : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&signals, s);
        if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
            return;
        std::thread([signals] {
            int received = 0;
            if (sigwait(&signals, &received) != 0)
                return;
            // The lock is held until the process ends: the build, failing once its directory is
            // gone, waits for it in setBuildingParent and cannot end the process first with
            // "failed" and exit status 1.
            const std::lock_guard lock(buildingMutex);
            if (!buildingParent.isEmpty())
                DemoScratch::removeOwn(buildingParent);
            std::signal(received, SIG_DFL);
            pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
            std::raise(received);
            std::_Exit(128 + received);
        }).detach();
    });
}

void setBuildingParent(const QString& parent)
{
    const std::lock_guard lock(buildingMutex);
    buildingParent = parent;
}

const QDate LastDemoDay(9999, 12, 31);
// Employees times days: ten million daily rows take a few minutes and about a gigabyte.
constexpr qint64 MaxDailyRows = 10'000'000;

void printError(const QString& text)
{
    std::fprintf(stderr, "talor demo: %s\n", text.toLocal8Bit().constData());
}

// A whole number from `low` up, or nothing.
std::optional<qint64> wholeNumber(const QString& text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

QString demoDescription()
{
    return QStringLiteral(
        "Writes a demo suite into DIR (a new or empty directory): the suite configuration suite.ini,\n"
        "the settings file, the report templates of all three kinds, pictures and a SQLite database\n"
        "with an organisation tree, employees and their daily attendance rows, abnormal days included.\n"
        "The same seed gives the same rows. It prints what it wrote.\n"
        "\n"
        "Exit status: 0 written, 1 the suite could not be written, 2 a bad request.");
}

QList<QCommandLineOption> demoOptions()
{
    return {
        {QStringLiteral("dir"), QStringLiteral("The directory <DIR> to write (new or empty)."),
         QStringLiteral("DIR")},
        {QStringLiteral("employees"), QStringLiteral("The number of employees (50)."), QStringLiteral("N"),
         QStringLiteral("50")},
        {QStringLiteral("days"), QStringLiteral("The number of days (61)."), QStringLiteral("N"),
         QStringLiteral("61")},
        {QStringLiteral("from"), QStringLiteral("The first day (2026-10-01)."), QStringLiteral("YYYY-MM-DD"),
         QStringLiteral("2026-10-01")},
        {QStringLiteral("seed"), QStringLiteral("The seed of the generated rows (1)."), QStringLiteral("S"),
         QStringLiteral("1")},
    };
}

int runDemoCommand(const QStringList& args)
{
    QStringList arguments = args;
    if (arguments.isEmpty())
        arguments << QStringLiteral("talor");
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("demo"))
        arguments.removeAt(1);

    QCommandLineParser parser;
    parser.addOptions(demoOptions());
    const QString dir = QStringLiteral("dir");
    const QString employees = QStringLiteral("employees");
    const QString days = QStringLiteral("days");
    const QString from = QStringLiteral("from");
    const QString seed = QStringLiteral("seed");
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));
        return 2;
    }
    if (!parser.isSet(dir) || parser.value(dir).trimmed().isEmpty()) {
        printError(QStringLiteral("--dir DIR is required"));
        return 2;
    }

    DemoOptions options;
    const auto employeeCount = wholeNumber(parser.value(employees), 1, 10'000'000);
    if (!employeeCount) {
        printError(
            QStringLiteral("--employees %1 is not a whole number from 1 up").arg(parser.value(employees)));
        return 2;
    }
    const auto dayCount = wholeNumber(parser.value(days), 1, 36'600);
    if (!dayCount) {
        printError(QStringLiteral("--days %1 is not a whole number from 1 to 36600").arg(parser.value(days)));
        return 2;
    }
    const QDate first = QDate::fromString(parser.value(from).trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!first.isValid()) {
        printError(QStringLiteral("--from %1 is not a date YYYY-MM-DD").arg(parser.value(from)));
        return 2;
    }
    // Dates are written with four-digit years: the last day may be 9999-12-31 at the latest.
    const QDate last = first.addDays(*dayCount - 1);
    if (!last.isValid() || last > LastDemoDay) {
        printError(QStringLiteral("--from %1 --days %2 ends after %3; the last day can be %3 at the latest")
                       .arg(first.toString(Qt::ISODate))
                       .arg(*dayCount)
                       .arg(LastDemoDay.toString(Qt::ISODate)));
        return 2;
    }
    if (*employeeCount * *dayCount > MaxDailyRows) {
        printError(QStringLiteral("--employees %1 with --days %2 makes %3 daily rows; a demo suite holds at "
                                  "most %4")
                       .arg(*employeeCount)
                       .arg(*dayCount)
                       .arg(*employeeCount * *dayCount)
                       .arg(MaxDailyRows));
        return 2;
    }
    const auto seedValue = wholeNumber(parser.value(seed), 0, 0xFFFFFFFFLL);
    if (!seedValue) {
        printError(
            QStringLiteral("--seed %1 is not a whole number from 0 to 4294967295").arg(parser.value(seed)));
        return 2;
    }
    options.employees = int(*employeeCount);
    options.days = int(*dayCount);
    options.from = first;
    options.seed = quint32(*seedValue);
    // A large demo takes minutes: on a terminal one line counts the employees done.
    if (::isatty(STDERR_FILENO) == 1) {
        options.progress = [](int done, int total) {
            if (done % 100 == 0)
                std::fprintf(stderr, "\r\x1b[Ktalor demo: %d/%d employees", done, total);
        };
    }

    watchSignals();
    setBuildingParent(QFileInfo(QDir::cleanPath(QDir(parser.value(dir)).absolutePath())).absolutePath());
    try {
        const DemoSummary summary = DemoSuite::generate(parser.value(dir), options);
        if (options.progress)
            std::fprintf(stderr, "\r\x1b[K");
        setBuildingParent({});
        std::printf("%s\n",
                    qPrintable(QStringLiteral("demo suite written: %1 (%2 employees, %3 days from %4, "
                                              "%5 daily rows, %6 overtime rows, %7 s)")
                                   .arg(summary.configurationFile)
                                   .arg(summary.employees)
                                   .arg(summary.days)
                                   .arg(options.from.toString(Qt::ISODate))
                                   .arg(summary.attendanceRows)
                                   .arg(summary.overtimeRows)
                                   .arg(summary.seconds, 0, 'f', 2)));
        return 0;
    } catch (const SuiteError& error) {
        setBuildingParent({});
        if (options.progress)
            std::fprintf(stderr, "\r\x1b[K");
        printError(error.message());
        return 1;
    }
}

} // namespace talor
