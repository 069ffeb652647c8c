// Large organisations: generating the demo suite at 10,000 employees and a month, and opening the
// record queries the main window runs on it (a whole month, one day, one person's period).
//   bench_suite [employees] [days]

#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "suite/LocalSuite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void timeQuery(talor::LocalSuite& suite, const char* label, const QString& sql)
{
    const long before = residentKb();
    QElapsedTimer timer;
    timer.start();
    talor::Recordset records;
    records.open(sql, suite.connection());
    std::printf("%-28s %7d rows in %6lld ms, resident +%.1f MB\n", label, records.recordCount(),
                static_cast<long long>(timer.elapsed()), (residentKb() - before) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    talor::DemoOptions options;
    options.employees = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    options.days = argc > 2 ? QByteArray(argv[2]).toInt() : 30;

    QTemporaryDir dir;
    const auto summary = talor::DemoSuite::generate(dir.filePath(QStringLiteral("suite")), options);
    std::printf("demo suite: %d employees x %d days, %lld daily rows in %.1f s (target: well under 60 s)\n",
                summary.employees, summary.days, static_cast<long long>(summary.attendanceRows),
                summary.seconds);

    talor::LocalSuite suite(summary.configurationFile);
    const QString table = QString::fromLatin1(talor::DemoSuite::DailyTable);
    const QString day = options.from.toString(QStringLiteral("yyyy-MM-dd"));
    const QString last = options.from.addDays(options.days - 1).toString(QStringLiteral("yyyy-MM-dd"));
    timeQuery(suite, "whole period, all persons", "select * from " + table + " order by memberid,zhdate");
    timeQuery(suite, "one day, organisation",
              "select * from " + table + " where zhdate='" + day + "' order by memberid");
    talor::Recordset first;
    first.open(QStringLiteral("select memberid from ygzl order by memberid"), suite.connection());
    timeQuery(suite, "one person, period",
              "select * from " + table + " where memberid='" + first.text(QStringLiteral("memberid")) +
                  "' and zhdate>='" + day + "' and zhdate<='" + last + "' order by zhdate");
    timeQuery(suite, "employees of the organisation",
              "select * from YGZL order by depart,group0,team,memberid");
    return 0;
}
