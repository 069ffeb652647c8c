#include "sheet/SheetLog.h"

#include "grid/Sheet.h"
#include "grid/SheetCopy.h"
#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <memory>

namespace talor {

namespace {

// The operator's name as a part of a file name: path separators, "..", controls and the
// characters a file name cannot hold (here or on a shared Windows folder) become "_", so that
// the log stays in its folder. A plain name is kept as it is: earlier logs are found by it.
QString fileNamePart(QString name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            c = u'_';
    }
    return name.replace(QStringLiteral(".."), QStringLiteral("__"));
}

// The most characters a cell of an Excel workbook holds.
constexpr qsizetype CellCharacters = 32767;

bool tooLong(const grid::Sheet& sheet, int row, int col)
{
    return sheet.isText(row, col) && sheet.text(row, col).size() > CellCharacters;
}

// `text` cut to what a cell holds, ending in a mark with the length it had; a text that fits as
// it is.
QString cutToCell(const QString& text)
{
    if (text.size() <= CellCharacters)
        return text;
    const QString mark = QStringLiteral("…(共%1字)").arg(text.size());
    return text::leftWhole(text, CellCharacters - mark.size()) + mark;
}

// `sheet` as its log holds it: itself, or, when a text is longer than a cell holds (a remark
// another program stored), a copy with such texts cut and marked. An export refuses such a
// text; the log is a record of what was there, and is written all the same.
const grid::Sheet& loggedSheet(const grid::Sheet& sheet, std::unique_ptr<grid::Sheet>& copy)
{
    bool cut = false;
    sheet.forEachCell([&](int row, int col) { cut = cut || tooLong(sheet, row, col); });
    if (!cut)
        return sheet;
    copy = std::make_unique<grid::Sheet>();
    grid::Sheet::Batch batch(*copy);
    grid::copyRows(sheet, *copy, 1, sheet.lastRow(), 0, 1, cutToCell);
    grid::copyLayout(sheet, *copy, sheet.lastRow(), 0);
    return *copy;
}

} // namespace

SheetLog::SheetLog(SuiteServices& suite, Clock clock) : m_suite(suite), m_clock(std::move(clock)) {}

QString SheetLog::stem() const
{
    const QDateTime now = m_clock();
    const QString zero = QStringLiteral("0");
    auto two = [&](int number) {
        return m_suite.zeroFill(number, 2, zero);
    };
    return fileNamePart(m_suite.operatorName()) + two(now.date().month()) + two(now.date().day()) + u'-' +
           two(now.time().hour()) + two(now.time().minute()) + two(now.time().second());
}

QString SheetLog::write(const grid::Workbook& book, const QString& directory, const QString& folder)
{
    const QString named = stem();
    const QString folderPath = QDir(directory).filePath(folder);
    m_lastStem = named;
    QString path = QDir(folderPath).filePath(m_lastStem + QStringLiteral(".xls"));
    if (!QDir().mkpath(folderPath))
        return failed(
            path, QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folderPath)));
    // A log of the same operator and second (a second save within it, another operator of the
    // same name, or the same day of another year) is kept: this one gets a number of its own.
    // The name is claimed by creating the file, so that two writers never pick the same one.
    QFile claimed(path);
    for (int n = 2; !claimed.open(QIODevice::WriteOnly | QIODevice::NewOnly); ++n) {
        if (!QFileInfo::exists(path))
            return failed(path, claimed.errorString());
        m_lastStem = named + u'-' + QString::number(n);
        path = QDir(folderPath).filePath(m_lastStem + QStringLiteral(".xls"));
        claimed.setFileName(path);
    }
    claimed.close();
    try {
        std::unique_ptr<grid::Sheet> copy;
        grid::XlsxFile::write(
            grid::XlsxFile::SheetSequence{book.sheetCount(), book.activeSheet(),
                                          [&book](int number) { return book.sheetName(number); },
                                          [&](int number) -> const grid::Sheet& {
                                              return loggedSheet(book.sheet(number), copy);
                                          }},
            path);
        return {};
    } catch (const std::exception& error) {
        QFile::remove(path);
        return failed(path, QString::fromUtf8(error.what()));
    }
}

QString SheetLog::failed(const QString& path, const QString& cause)
{
    return QStringLiteral("日志文件 %1 未能写入：%2").arg(QDir::toNativeSeparators(path), cause);
}

} // namespace talor
