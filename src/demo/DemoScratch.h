#pragma once

#include <QLockFile>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace talor {

// The hidden directory (".talor-demo-XXXXXX") a demo suite is built in, beside its target,
// before it is moved into place. It is removed when the build fails; while the build runs it
// holds a lock naming this process, so that a later run can tell the directory of a run that
// was killed (its process is gone) and remove it.
class DemoScratch
{
public:
    // Creates the directory in `parent`, after removing those of runs that were killed.
    // Throws SuiteError when it cannot be created.
    explicit DemoScratch(const QString& parent);

    QString path() const { return m_dir.path(); }
    // The build is complete: the lock goes, so that the directory can be moved into place.
    void finishBuilding();
    // The directory was moved into place: it is no longer removed.
    void keep() { m_dir.setAutoRemove(false); }

    // Removes the directories in `parent` that this process is building: for a run that is
    // being ended by a signal.
    static void removeOwn(const QString& parent);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace talor
