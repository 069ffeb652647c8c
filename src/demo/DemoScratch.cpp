#include "demo/DemoScratch.h"

#include "suite/SuiteServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <functional>

namespace talor {

namespace {

const QString ScratchPrefix = QStringLiteral(".talor-demo-");
// Held in the scratch directory while a run builds there.
const QString BuildingLock = QStringLiteral(".building.lock");

// Removes the scratch directories in `parent` whose lock `remove` picks. A directory without a
// lock file may belong to a run that is just starting or finishing: it stays.
void removeScratch(const QString& parent, const std::function<bool(QLockFile&)>& remove)
{
    const QFileInfoList scratch =
        QDir(parent).entryInfoList({ScratchPrefix + u'*'}, QDir::Dirs | QDir::Hidden);
    for (const QFileInfo& dir : scratch) {
        const QString lockPath = QDir(dir.absoluteFilePath()).filePath(BuildingLock);
        if (!QFileInfo::exists(lockPath))
            continue;
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0); // a long run is not abandoned; only one whose process is gone
        if (!remove(lock))
            continue;
        // A run that is still writing (the one a signal is ending) may add a file between the
        // listing and the removal of the folder: try again until the folder is gone.
        for (int attempt = 0; attempt < 100 && QFileInfo::exists(dir.absoluteFilePath()); ++attempt)
            QDir(dir.absoluteFilePath()).removeRecursively();
    }
}

// The name pattern of a new scratch directory in `parent`, after the directories of runs that
// were killed are removed there.
QString freshTemplate(const QString& parent)
{
    removeScratch(parent, [](QLockFile& lock) {
        // Taken only when the process that held it is gone.
        if (!lock.tryLock(0))
            return false;
        lock.unlock();
        return true;
    });
    return parent + u'/' + ScratchPrefix + QStringLiteral("XXXXXX");
}

} // namespace

DemoScratch::DemoScratch(const QString& parent) : m_dir(freshTemplate(parent))
{
    if (!m_dir.isValid())
        throw SuiteError(
            QStringLiteral("cannot create a scratch directory in %1: %2").arg(parent, m_dir.errorString()));
    const QString lockPath = QDir(m_dir.path()).filePath(BuildingLock);
    m_lock = std::make_unique<QLockFile>(lockPath);
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        throw SuiteError(QStringLiteral("cannot create the lock file %1").arg(lockPath));
}

void DemoScratch::finishBuilding()
{
    m_lock->unlock();
}

void DemoScratch::removeOwn(const QString& parent)
{
    removeScratch(parent, [](QLockFile& lock) {
        qint64 pid = 0;
        QString host, application;
        return lock.getLockInfo(&pid, &host, &application) && pid == QCoreApplication::applicationPid();
    });
}

} // namespace talor
