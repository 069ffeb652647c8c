#pragma once

#include "suite/DemoSuite.h"
#include "suite/LocalSuite.h"

#include <QFile>
#include <memory>

namespace talor::test {

// A demo suite of `employees` persons in `folder`, with the module already set up (table and
// set-up flag written), so that the main window's load goes straight on.
inline std::unique_ptr<LocalSuite> setUpDemoSuite(const QString& folder, int employees)
{
    // Each test's temporary print files (Tmp.xls, Tmp.pdf) in a folder of its own.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder + QStringLiteral("/cache")));
    DemoOptions options;
    options.employees = employees;
    DemoSuite::generate(folder, options);
    auto suite = std::make_unique<LocalSuite>(folder + QStringLiteral("/suite.ini"));
    const QString settings = suite->settingsDirectory() + QLatin1Char('/') + suite->settingsFileName();
    suite->writeSetting(QStringLiteral("TALOR"), QStringLiteral("考勤日报TABLE"), QStringLiteral("KQ0001"),
                        settings);
    suite->writeSetting(QStringLiteral("TALOR"), QStringLiteral("考勤日报IF"), QStringLiteral("YES"),
                        settings);
    return suite;
}

} // namespace talor::test
