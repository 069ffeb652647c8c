#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace talor {

class SuiteServices;
namespace grid {
class Workbook;
}

// The log workbooks of editing: a copy of the grid written when editing starts (work
// directory, folder "log") and after each save (application directory, folder "Log"). The
// file name is the operator's name followed by month, day, "-", hour, minute and second of
// the clock, each zero-filled to two digits by the suite: 管理员0305-083012.xls. In the name, path
// separators, ".." and characters a file name cannot hold become "_". A text longer than an
// Excel cell holds is logged cut, ending in "…(共N字)" with its length N.
class SheetLog
{
public:
    using Clock = std::function<QDateTime()>;

    SheetLog(SuiteServices& suite, Clock clock);

    QString stem() const;
    // Writes `book` as an Excel workbook to directory/folder/stem.xls (stem-2.xls, stem-3.xls
    // and so on when that log is there already), making the folder when it is missing, and
    // remembers the stem. Returns the empty text when written, else the
    // message that says which file could not be written and why (the caller goes on).
    QString write(const grid::Workbook& book, const QString& directory, const QString& folder);
    // The stem of the last log written (or tried).
    QString lastStem() const { return m_lastStem; }

    static inline const QString EditFolder = QStringLiteral("log");
    static inline const QString SaveFolder = QStringLiteral("Log");

private:
    static QString failed(const QString& path, const QString& cause);

    SuiteServices& m_suite;
    Clock m_clock;
    QString m_lastStem;
};

} // namespace talor
