#include "demo/DefaultSuite.h"

#include "demo/DemoSuite.h"
#include "suite/SuiteServices.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace talor {

QString defaultSuitePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/demo/suite.ini");
}

QString ensureDefaultSuite()
{
    const QString path = defaultSuitePath();
    if (QFileInfo::exists(path))
        return path;
    // Two programs started together on a first run: the one that comes second waits for the
    // other's suite and opens it. The suite moves into place whole, so one that exists is
    // complete. Making it takes well under a second: a lock older than StaleLock (left by a
    // program that died, empty, or another machine's on a shared home) is taken over, and a
    // lock that is not freed in LockWait is named instead of waited for.
    constexpr int StaleLock = 15'000, LockWait = 30'000;
    const QString suiteDirectory = QFileInfo(path).absolutePath();
    const QString data = QFileInfo(suiteDirectory).absolutePath();
    if (!QDir().mkpath(data))
        throw SuiteError(QStringLiteral("cannot create the directory %1").arg(data));
    QLockFile lock(data + QStringLiteral("/.demo.lock"));
    lock.setStaleLockTime(StaleLock);
    if (!lock.tryLock(LockWait))
        throw SuiteError(QStringLiteral("cannot lock %1 to create the demo suite (another program holds it; "
                                        "remove the file if none does)")
                             .arg(lock.fileName()));
    if (!QFileInfo::exists(path))
        DemoSuite::generate(suiteDirectory, DemoOptions{});
    return path;
}

} // namespace talor
