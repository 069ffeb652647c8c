#include "sheet/SheetLog.h"

#include "grid/Workbook.h"
#include "suite/SuiteServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

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
        book.write(path, grid::FileType::Excel);
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
