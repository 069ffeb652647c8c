#pragma once

#include <QString>

namespace talor {

// A settings file of sections and keys with text values, UTF-8.
//
// Keys are exact and case-sensitive and may begin with a blank (" 0"); an absent key reads
// as the empty text. Every read opens the file afresh, so a value written by another process
// is seen at once. Every write is atomic (temporary file, flush, rename) and serialised with
// a lock file against other processes; it changes one line and keeps every other section,
// key, comment and unparsable line exactly as it was. Failures throw SuiteError naming the
// file (unreadable file, lock still held after the wait, disk full).
class IniFile
{
public:
    explicit IniFile(QString path);

    QString path() const { return m_path; }

    QString read(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);

    // How long a write waits for another process's lock before it gives up.
    static constexpr int LockTimeoutMs = 5000;

private:
    QString m_path;
};

} // namespace talor
