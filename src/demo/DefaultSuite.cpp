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
    // complete; a lock left by a program that was killed is taken over.
    const QString suiteDirectory = QFileInfo(path).absolutePath();
    const QString data = QFileInfo(suiteDirectory).absolutePath();
    if (!QDir().mkpath(data))
        throw SuiteError(QStringLiteral("cannot create the directory %1").arg(data));
    QLockFile lock(data + QStringLiteral("/.demo.lock"));
    lock.setStaleLockTime(0); // a long generation is not abandoned; only one whose process is gone
    if (!lock.lock())
        throw SuiteError(QStringLiteral("cannot lock %1 to create the demo suite").arg(lock.fileName()));
    if (!QFileInfo::exists(path))
        DemoSuite::generate(suiteDirectory, DemoOptions{});
    return path;
}

} // namespace talor
