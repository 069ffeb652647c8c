#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>
#include <stdexcept>

namespace talor::io {

// A file that could not be written; the text names the file and the cause, and says that the
// disk is full when that is the cause. The file that was there before is unchanged.
class FileWriteError : public std::runtime_error
{
public:
    explicit FileWriteError(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

// The file a write to `path` lands in: the target of a symbolic link (followed to its end), so
// that a link stays a link and all writers through links meet at one real file.
QString resolvedTarget(const QString& path);

// The mode of the file at `path` when it is not to be replaced: its owner made it read-only (no
// write permission for anyone), or this user may not write it. Renaming a new file over it
// would get past its permissions, so the writers below refuse it. Nothing for a new file.
std::optional<unsigned> readOnlyMode(const QString& path);

// Replaces the file at `path` with `bytes`, completely or not at all: the bytes go to a
// temporary file in the same folder, are flushed to disk and then renamed over the target.
// The new file keeps the owner, group and mode of the file it replaces (a new file gets the
// process's default mode). Throws FileWriteError on any failure (a read-only file among them),
// with the old file intact.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// For writers that need a path of their own (a library that writes the file itself):
// tempPath() names a fresh temporary file in the target's folder; commit() flushes it to disk
// and renames it over the target as writeFileAtomically does. A target that is destroyed
// without a commit removes its temporary file, so a failed write leaves nothing behind.
class AtomicTarget
{
public:
    explicit AtomicTarget(const QString& path);
    ~AtomicTarget();
    AtomicTarget(const AtomicTarget&) = delete;
    AtomicTarget& operator=(const AtomicTarget&) = delete;

    QString targetPath() const { return m_target; }
    QString tempPath() const { return m_temp; }
    void commit();

private:
    QString m_target;
    QString m_temp;
    bool m_committed = false;
    int m_pendingSlot = -1;
};

// Makes Ctrl-C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) remove the temporary
// files of the writes under way before the process ends as the signal ends it: an interrupted
// command leaves neither hidden partial files nor a changed target behind. For command-line
// use; the window keeps the toolkit's own handling.
void removeTemporaryFilesOnSignals();

// A write-only file for writers that take a device and ignore what its writes return
// (QPdfWriter): every byte count is checked, so that a short write on a full disk is not lost
// as a buffered QFile loses it. The first failure is kept, with the system's reason, and every
// later write fails too; close() writes what is buffered first.
class CheckedFile : public QIODevice
{
public:
    // Opens (creates or empties) `path` for writing; a file that cannot be opened is a failure.
    explicit CheckedFile(const QString& path);
    ~CheckedFile() override;
    void close() override;
    // Why the file could not be written ("writing: the disk is full (...)"); empty while every
    // byte has been written.
    QString failure() const { return m_failure; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool writeOut(const char* data, qint64 size);
    int m_fd = -1;
    QString m_failure;
    QByteArray m_buffer;
};

} // namespace talor::io
