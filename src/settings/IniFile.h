#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <stdexcept>
#include <utility>

namespace talor {

// A failing read or write of a settings file; the message names the file and the cause.
// The suite passes it on to modules as its own error.
class IniFileError : public std::runtime_error
{
public:
    explicit IniFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A settings file of sections and keys with text values, UTF-8.
//
// Keys are exact and case-sensitive and may begin with a blank (" 0"); an absent key reads
// as the empty text. Every read opens the file afresh, so a value written by another process
// is seen at once. Every write replaces the file whole (temporary file, flushed to disk,
// renamed over it, owner, group and mode kept) and is serialised with a lock file against
// other processes; it changes one line and keeps every other section, key, comment and
// unparsable line exactly as it was. A file reached through a symbolic link is locked and
// written where it really is, and the link stays. Failures throw IniFileError naming the file
// (unreadable, UTF-16 or binary file, a read-only file written, lock still held after the
// wait, disk full); a failed write leaves the file as it was.
//
// The format, line by line (LF or CRLF; a UTF-8 byte-order mark is kept):
//  - "[name]": a section header; blanks around the brackets are allowed, the name is the
//    text between them exactly. Lines before the first header belong to the section "".
//  - first non-blank character ";" or "#": a comment.
//  - any other line with "=": a key line; the key is everything before the first "=", the
//    value everything after it, both exactly (no trimming). Written as "key=value".
//  - anything else: an unparsable line, kept as it is and otherwise ignored.
// When a key occurs twice, the first occurrence counts (for reading and writing). A new key
// goes after the last non-blank line of the first section of its name; a new section goes at
// the end of the file, after a blank line.
//
// Values are single lines: a value holding a line break is refused with IniFileError and the
// file is left as it was (a break would cut the value and plant a stray line). So are keys
// and section names that the format could not read back: a key containing "=" or a line
// break or starting (after blanks) with "[", ";" or "#"; a section name containing "]" or a
// line break.
class IniFile
{
public:
    // How long a write waits for another process's lock before it gives up.
    static constexpr int LockTimeoutMs = 5000;

    explicit IniFile(QString path, int lockTimeoutMs = LockTimeoutMs);

    QString path() const { return m_path; }

    // Keys of one section with their values.
    using Values = QList<std::pair<QString, QString>>;

    QString read(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    // Several keys of one section in one read, change and replace under the lock: the file
    // takes all of them or, on any failure, none.
    void write(const QString& section, const Values& values);

    // Reads keys of `section` as the file holds them now.
    using Reader = std::function<QString(const QString& key)>;
    // What to write, worked out from what the file holds.
    using Change = std::function<Values(const Reader& read)>;
    // One read-modify-write of `section` under the lock: `change` reads the file as it is
    // while no other writer can come in, and the keys it returns are written before the lock
    // is let go. Nothing is written when it returns none or throws.
    void update(const QString& section, const Change& change);

private:
    QString m_path;
    int m_lockTimeoutMs;
};

} // namespace talor
