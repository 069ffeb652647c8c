#include "io/FileWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talor::io {

namespace {

QString describe(int error)
{
    if (error == ENOSPC || error == EFBIG || error == EDQUOT)
        return QCoreApplication::translate("talor", "the disk is full (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString& path, const QString& step, int error)
{
    throw FileWriteError(
        QCoreApplication::translate("talor", "Cannot write %1: %2: %3").arg(path, step, describe(error)));
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// A new, empty temporary file beside `target`, open for writing; its name is returned in `name`.
// A read-only target is refused first.
int createTemp(const QString& target, QString& name)
{
    if (const auto mode = readOnlyMode(target))
        throw FileWriteError(
            QCoreApplication::translate("talor", "Cannot write %1: it is read-only (mode %2)")
                .arg(target)
                .arg(*mode, 4, 8, QLatin1Char('0')));
    const QFileInfo info(target);
    QByteArray pattern = encoded(info.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + info.fileName() +
                                 QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        fail(target,
             QCoreApplication::translate("talor", "cannot create a temporary file in %1")
                 .arg(info.absolutePath()),
             errno);
    name = QFile::decodeName(pattern);
    return fd;
}

// The temporary files being written, for a signal that ends the process to remove: each slot
// holds a path of its own (allocated outside the handler), read by the handler lock-free.
constexpr size_t PendingSlots = 64;
std::array<std::atomic<char*>, PendingSlots> pendingTemps{};

int registerPending(const QString& temp)
{
    const QByteArray name = encoded(temp);
    for (size_t slot = 0; slot < PendingSlots; ++slot) {
        char* expected = nullptr;
        char* copy = ::strdup(name.constData());
        if (pendingTemps[slot].compare_exchange_strong(expected, copy))
            return int(slot);
        ::free(copy);
    }
    return -1; // more writes at once than slots: that one is left to its own clean-up
}

void unregisterPending(int slot)
{
    if (slot >= 0)
        ::free(pendingTemps[size_t(slot)].exchange(nullptr));
}

extern "C" void removePendingAndEnd(int signal)
{
    for (auto& slot : pendingTemps)
        if (const char* path = slot.load())
            ::unlink(path);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Registered for the life of a write.
class PendingTemp
{
public:
    explicit PendingTemp(const QString& temp) : m_slot(registerPending(temp)) {}
    ~PendingTemp() { unregisterPending(m_slot); }
    PendingTemp(const PendingTemp&) = delete;
    PendingTemp& operator=(const PendingTemp&) = delete;

private:
    int m_slot;
};

// Writes all `size` bytes, a short write continued; 0, or the errno of the failed write.
int writeEvery(int fd, const char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

void writeAll(int fd, const QByteArray& bytes, const QString& target)
{
    if (const int error = writeEvery(fd, bytes.constData(), bytes.size()))
        fail(target, QStringLiteral("writing"), error);
}

// Gives the temporary file the owner, group and mode of the file it replaces; a new file gets
// the mode a plain create would give it (0666 less the umask). Ownership that cannot be kept
// (another user's file written by a non-root user) is left as the process's own.
void copyAttributes(int fd, const QString& target)
{
    struct stat old
    {};
    if (::stat(encoded(target).constData(), &old) == 0) {
        // The group alone, when the owner cannot be kept; when neither can, the file stays
        // the process's own, as said above.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0)
            errno = 0;
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
}

// Makes the temporary file durable and renames it over the target; the folder is synced so
// that the rename itself survives a crash.
void finish(int fd, const QString& temp, const QString& target)
{
    copyAttributes(fd, target);
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        fail(target, QStringLiteral("flushing"), error);
    }
    if (::close(fd) != 0)
        fail(target, QStringLiteral("closing"), errno);
    if (::rename(encoded(temp).constData(), encoded(target).constData()) != 0)
        fail(target, QCoreApplication::translate("talor", "replacing the file"), errno);
    const int dir = ::open(encoded(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

FileWriteError::FileWriteError(const QString& message) : std::runtime_error(message.toStdString()) {}

std::optional<unsigned> readOnlyMode(const QString& path)
{
    const QByteArray name = encoded(path);
    struct stat info
    {};
    if (::stat(name.constData(), &info) != 0)
        return std::nullopt; // a new file
    if ((info.st_mode & 0222) == 0 || ::access(name.constData(), W_OK) != 0)
        return unsigned(info.st_mode & 07777);
    return std::nullopt;
}

QString resolvedTarget(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    // Bounded, like the kernel's own limit on link chains: a loop ends with the last name.
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QString target = resolvedTarget(path);
    QString temp;
    const int fd = createTemp(target, temp);
    const PendingTemp pending(temp);
    try {
        writeAll(fd, bytes, target);
    } catch (...) {
        ::close(fd);
        ::unlink(encoded(temp).constData());
        throw;
    }
    try {
        finish(fd, temp, target);
    } catch (...) {
        ::unlink(encoded(temp).constData());
        throw;
    }
}

AtomicTarget::AtomicTarget(const QString& path) : m_target(resolvedTarget(path))
{
    const int fd = createTemp(m_target, m_temp);
    ::close(fd);
    m_pendingSlot = registerPending(m_temp);
}

AtomicTarget::~AtomicTarget()
{
    if (!m_committed)
        ::unlink(encoded(m_temp).constData());
    unregisterPending(m_pendingSlot);
}

void removeTemporaryFilesOnSignals()
{
    struct sigaction action
    {};
    action.sa_handler = removePendingAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

void AtomicTarget::commit()
{
    // The writer closed its file already; reopen it to flush it to disk before the rename.
    const int fd = ::open(encoded(m_temp).constData(), O_RDWR);
    if (fd < 0)
        fail(m_target, QCoreApplication::translate("talor", "reopening the written file"), errno);
    finish(fd, m_temp, m_target);
    m_committed = true;
}

namespace {

constexpr qint64 CheckedFileBuffer = 1 << 16;

} // namespace

CheckedFile::CheckedFile(const QString& path)
{
    m_fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_failure = QCoreApplication::translate("talor", "opening: %1").arg(describe(errno));
        return;
    }
    QIODevice::open(QIODevice::WriteOnly);
}

CheckedFile::~CheckedFile()
{
    close();
}

void CheckedFile::close()
{
    if (m_fd < 0)
        return;
    writeOut(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
    if (::close(m_fd) != 0 && m_failure.isEmpty())
        m_failure = QCoreApplication::translate("talor", "closing: %1").arg(describe(errno));
    m_fd = -1;
    QIODevice::close();
}

qint64 CheckedFile::readData(char*, qint64)
{
    return -1;
}

qint64 CheckedFile::writeData(const char* data, qint64 size)
{
    if (!m_failure.isEmpty())
        return -1;
    if (m_buffer.size() + size <= CheckedFileBuffer) {
        m_buffer.append(data, size);
        return size;
    }
    if (!writeOut(m_buffer.constData(), m_buffer.size()))
        return -1;
    m_buffer.clear();
    if (size >= CheckedFileBuffer)
        return writeOut(data, size) ? size : -1;
    m_buffer.append(data, size);
    return size;
}

bool CheckedFile::writeOut(const char* data, qint64 size)
{
    if (!m_failure.isEmpty())
        return false;
    if (const int error = writeEvery(m_fd, data, size)) {
        m_failure = QCoreApplication::translate("talor", "writing: %1").arg(describe(error));
        setErrorString(m_failure);
        return false;
    }
    return true;
}

} // namespace talor::io
