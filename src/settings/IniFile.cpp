#include "settings/IniFile.h"

#include "io/FileWrite.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>

namespace talor {

namespace {

// Where a key is in the file's bytes, or where it would go. The file is handled as bytes, so
// that every line the write does not touch (even one that is not valid UTF-8) stays exact.
struct Lookup
{
    bool found = false;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
    bool sectionFound = false;
    qsizetype insertAt = 0; // after the last non-blank line of the first section of that name
};

qsizetype bodyStart(QByteArrayView data)
{
    return data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

Lookup find(QByteArrayView data, QByteArrayView section, QByteArrayView key)
{
    Lookup r;
    qsizetype pos = bodyStart(data);
    // Lines before the first header form the section "".
    bool inSection = section.isEmpty();
    bool inFirst = inSection;
    r.sectionFound = inSection;
    r.insertAt = pos;
    while (pos < data.size()) {
        const qsizetype newline = data.indexOf('\n', pos);
        const qsizetype next = newline < 0 ? data.size() : newline + 1;
        qsizetype end = newline < 0 ? data.size() : newline;
        if (end > pos && data[end - 1] == '\r')
            --end;
        const QByteArrayView line = data.sliced(pos, end - pos);
        const QByteArrayView trimmed = line.trimmed();
        if (!trimmed.isEmpty()) {
            const char first = trimmed.front();
            if (first == '[' && trimmed.back() == ']') {
                inSection = trimmed.sliced(1, trimmed.size() - 2) == section;
                inFirst = inSection && !r.sectionFound;
                r.sectionFound = r.sectionFound || inSection;
            } else if (inSection && first != ';' && first != '#') {
                const qsizetype eq = line.indexOf('=');
                if (eq >= 0 && line.first(eq) == key) {
                    r.found = true;
                    r.valueStart = pos + eq + 1;
                    r.valueEnd = end;
                    return r;
                }
            }
            if (inFirst)
                r.insertAt = next;
        }
        pos = next;
    }
    return r;
}

// The value of key in section of the file's bytes; empty when absent.
QString valueOf(QByteArrayView data, const QByteArray& section, const QString& key)
{
    const Lookup where = find(data, section, key.toUtf8());
    if (!where.found)
        return {};
    return QString::fromUtf8(data.sliced(where.valueStart, where.valueEnd - where.valueStart));
}

QByteArray lineEnding(QByteArrayView data)
{
    const qsizetype newline = data.indexOf('\n');
    return newline > 0 && data[newline - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The whole file; empty when it does not exist.
QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return {};
        throw IniFileError(QCoreApplication::translate("talor", "Cannot read the settings file %1: %2")
                               .arg(path, file.errorString()));
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IniFileError(QCoreApplication::translate("talor", "Cannot read the settings file %1: %2")
                               .arg(path, file.errorString()));
    // A UTF-16 file (as Windows tools write them, either byte order, with or without a
    // byte-order mark) would read as no keys at all, and a write would splice UTF-8 lines into
    // it: refuse it rather than answer wrongly or garble it. UTF-8 text has no zero bytes.
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF") ||
        (data.size() >= 2 && (data[0] == '\0') != (data[1] == '\0')))
        throw IniFileError(QCoreApplication::translate(
                               "talor", "Cannot read the settings file %1: it is UTF-16 encoded; settings "
                                        "files are UTF-8 (convert it, for example with iconv)")
                               .arg(path));
    // Text has no zero bytes; a picture or a database named as the settings file has many, and
    // keys appended to it would damage it.
    if (data.contains('\0'))
        throw IniFileError(
            QCoreApplication::translate(
                "talor", "Cannot use %1 as the settings file: it is not a text file (it holds binary data)")
                .arg(path));
    return data;
}

void checkWritable(const QString& path, const QString& section, const QString& key, const QString& value)
{
    const QString where =
        QCoreApplication::translate("talor", "key \"%1\" of section [%2] in the settings file %3")
            .arg(key, section, path);
    if (hasLineBreak(value))
        throw IniFileError(QCoreApplication::translate(
                               "talor",
                               "Cannot write %1: the value holds a line break, and settings values are "
                               "single lines")
                               .arg(where));
    if (key.contains(QChar(0)) || value.contains(QChar(0)) || section.contains(QChar(0)))
        throw IniFileError(QCoreApplication::translate(
                               "talor",
                               "Cannot write %1: it holds a NUL character, which would make the settings "
                               "file unreadable as text")
                               .arg(where));
    const QString lead = key.trimmed();
    if (key.contains(u'=') || hasLineBreak(key) || lead.startsWith(u'[') || lead.startsWith(u';') ||
        lead.startsWith(u'#'))
        throw IniFileError(QCoreApplication::translate(
                               "talor",
                               "Cannot write %1: a key may not hold \"=\" or a line break, nor start "
                               "with \"[\", \";\" or \"#\"")
                               .arg(where));
    if (section.contains(u']') || hasLineBreak(section))
        throw IniFileError(QCoreApplication::translate(
                               "talor", "Cannot write %1: a section name may not hold \"]\" or a line break")
                               .arg(where));
}

// Short polls rather than QLockFile's own doubling wait, so that a busy writer in another
// process does not starve this one past its timeout.
void acquire(QLockFile& lock, const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    int pauseMs = 2;
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError)
            throw IniFileError(
                QCoreApplication::translate(
                    "talor", "Cannot write the settings file %1: cannot create its lock file %1.lock")
                    .arg(path));
        if (deadline.hasExpired())
            throw IniFileError(QCoreApplication::translate(
                                   "talor", "Cannot write the settings file %1: it stays locked by another "
                                            "process (lock file %1.lock, waited %2 ms)")
                                   .arg(path)
                                   .arg(timeoutMs));
        QThread::msleep(pauseMs + QRandomGenerator::global()->bounded(pauseMs));
        pauseMs = std::min(pauseMs * 2, 20);
    }
}

// Sets key = value in section of the file's bytes, adding the key (and the section) where
// they are missing; false when the key already holds the value.
bool setValue(QByteArray& data, const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    const Lookup where = find(data, section, key);
    const QByteArray eol = lineEnding(data);
    if (where.found) {
        if (QByteArrayView(data).sliced(where.valueStart, where.valueEnd - where.valueStart) == value)
            return false;
        data.replace(where.valueStart, where.valueEnd - where.valueStart, value);
        return true;
    }
    QByteArray line = key + '=' + value + eol;
    if (where.sectionFound) {
        if (where.insertAt == data.size() && where.insertAt > 0 && !data.endsWith('\n'))
            line.prepend(eol);
        data.insert(where.insertAt, line);
        return true;
    }
    const bool hasContent = data.size() > bodyStart(data);
    if (hasContent && !data.endsWith('\n'))
        data += eol;
    if (hasContent)
        data += eol;
    data += '[' + section + ']' + eol + line;
    return true;
}

} // namespace

IniFile::IniFile(QString path, int lockTimeoutMs) : m_path(std::move(path)), m_lockTimeoutMs(lockTimeoutMs) {}

QString IniFile::read(const QString& section, const QString& key) const
{
    return valueOf(readBytes(m_path), section.toUtf8(), key);
}

void IniFile::write(const QString& section, const QString& key, const QString& value)
{
    write(section, Values{{key, value}});
}

void IniFile::write(const QString& section, const Values& values)
{
    update(section, [&](const Reader&) { return values; });
}

void IniFile::update(const QString& section, const Change& change)
{
    // A file reached through a symbolic link is written (and locked) where it really is: the
    // link stays a link, and writers through the link and through the file share one lock.
    const QString target = io::resolvedTarget(m_path);
    if (!QFileInfo(target).absoluteDir().exists())
        throw IniFileError(QCoreApplication::translate(
                               "talor", "Cannot write the settings file %1: its folder does not exist")
                               .arg(m_path));

    // Read, change and replace under the lock, so that concurrent writers lose nothing.
    QLockFile lock(target + QStringLiteral(".lock"));
    acquire(lock, target, m_lockTimeoutMs);

    QByteArray data = readBytes(target);
    const QByteArray sectionBytes = section.toUtf8();
    const Values values = change([&](const QString& key) { return valueOf(data, sectionBytes, key); });
    for (const auto& [key, value] : values)
        checkWritable(m_path, section, key, value);
    bool changed = false;
    for (const auto& [key, value] : values)
        changed = setValue(data, sectionBytes, key.toUtf8(), value.toUtf8()) || changed;
    if (!changed)
        return;

    // Written whole beside the file and renamed over it, owner, group and mode kept: a reader
    // sees the old file or the new one, and a full disk or a read-only file leaves the old one.
    try {
        io::writeFileAtomically(target, data);
    } catch (const io::FileWriteError& error) {
        throw IniFileError(
            QStringLiteral("%1; the settings file %2 is unchanged").arg(error.message(), m_path));
    }
}

} // namespace talor
