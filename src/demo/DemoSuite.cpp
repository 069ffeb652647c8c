#include "demo/DemoSuite.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "demo/DemoScratch.h"
#include "demo/DemoTemplates.h"
#include "io/FileWrite.h"
#include "suite/SuiteServices.h"

#include <QAtomicInt>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSqlQuery>

namespace talor {

namespace {

QAtomicInt demoConnections;

// Whole or not at all; a full disk is named as such.
void writeBytes(const QString& path, const QByteArray& bytes)
{
    try {
        io::writeFileAtomically(path, bytes);
    } catch (const io::FileWriteError& error) {
        throw SuiteError(error.message());
    }
}

void writeText(const QString& path, const QString& text)
{
    writeBytes(path, text.toUtf8());
}

// A small square picture in one colour with a lighter frame; the file name may end in .ICO,
// the content is PNG (pictures are read by content).
void writeIcon(const QString& path, QRgb colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QColor base = QColor::fromRgb(colour);
    const QRgb light = base.lighter(160).rgb();
    for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x) {
            const bool frame = x < 4 || x > 27 || y < 4 || y > 27;
            const bool mark = (x >= 10 && x <= 21 && (y == 10 || y == 15 || y == 20));
            image.setPixel(x, y, frame || mark ? light : colour);
        }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw SuiteError(
            QStringLiteral("cannot write the picture %1: it cannot be encoded as PNG").arg(path));
    writeBytes(path, png);
}

QString configurationText(const DemoOptions& options)
{
    const QDate monthEnd = QDate(options.from.year(), options.from.month(), 1).addMonths(1).addDays(-1);
    const QDate lastDay = options.from.addDays(options.days - 1);
    const QDate periodEnd = std::min(monthEnd, lastDay);
    QString text = QStringLiteral("; TALOR suite configuration: see docs/suite-config.md.\n"
                                  "; Relative paths are taken from this file's directory.\n"
                                  "\n"
                                  "[database]\n"
                                  "; sqlite (file=) or postgresql (host=, port=, name=, user=, password=)\n"
                                  "kind=sqlite\n"
                                  "file=suite.db\n"
                                  "\n"
                                  "[suite]\n"
                                  "; 2 or more: dates in SQL are quoted 'yyyy-mm-dd'\n"
                                  "databaseKind=2\n"
                                  "organisation=%1\n"
                                  "operator=%2\n"
                                  "moduleKey=%3\n"
                                  "scope=出勤\n"
                                  "filter=\n"
                                  "allowedMenus=,工资计算,请假登记,\n"
                                  "currentTable=%4\n"
                                  "\n"
                                  "[paths]\n"
                                  "; application= empty: the directory of the talor program\n"
                                  "application=\n"
                                  "work=work\n"
                                  "template=template\n"
                                  "icon=icon\n"
                                  "iconFile=talor.png\n"
                                  "; temporary= empty: the user's cache folder ($XDG_CACHE_HOME/talor)\n"
                                  "temporary=\n"
                                  "settingsDirectory=.\n"
                                  "settingsFile=talor.ini\n"
                                  "secondFile=suite2.ini\n"
                                  "\n"
                                  "[guard]\n"
                                  "lockSwitch=0\n"
                                  "codePrefix=TALOR-DEMO\n"
                                  "accessCode=TALOR-8888\n"
                                  "accessComparison=\n"
                                  "\n"
                                  "[values]\n"
                                  "reportDate=%5\n"
                                  "periodStart=%6\n"
                                  "periodEnd=%7\n");
    return text.arg(QString::fromUtf8(DemoSuite::Organisation), QString::fromUtf8(DemoSuite::OperatorName),
                    QString::fromUtf8(DemoSuite::ModuleKey), QString::fromLatin1(DemoSuite::DailyTable),
                    DemoSuite::firstWorkingDay(options.from).toString(Qt::ISODate),
                    options.from.toString(Qt::ISODate), periodEnd.toString(Qt::ISODate));
}

void makeDirectory(const QString& path)
{
    if (!QDir().mkpath(path))
        throw SuiteError(QStringLiteral("cannot create the directory %1").arg(path));
}

DemoSummary writeDatabase(const QString& file, const DemoOptions& options)
{
    const QString name = QStringLiteral("talor_demo_%1").arg(demoConnections.fetchAndAddRelaxed(1) + 1);
    DemoSummary summary;
    try {
        QSqlDatabase db = Connections::openSqlite(name, file);
        // A scratch file that is discarded on failure needs no crash safety while it is filled.
        QSqlQuery(db).exec(QStringLiteral("pragma synchronous=off"));
        summary = DemoSuite::fillDatabase(db, options);
    } catch (const DatabaseError& error) {
        Connections::remove(name);
        throw SuiteError(error.message());
    } catch (...) {
        Connections::remove(name);
        throw;
    }
    Connections::remove(name);
    return summary;
}

} // namespace

DemoSummary DemoSuite::generate(const QString& directory, const DemoOptions& options)
{
    checkOptions(options);
    QElapsedTimer clock;
    clock.start();

    const QString target = QDir::cleanPath(QDir(directory).absolutePath());
    const QFileInfo targetInfo(target);
    if (targetInfo.exists()) {
        if (!targetInfo.isDir())
            throw SuiteError(QStringLiteral("%1 exists and is not a directory").arg(target));
        if (!QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            throw SuiteError(
                QStringLiteral("%1 is not empty; the demo suite needs a new or empty directory").arg(target));
    }
    const QString parent = targetInfo.absolutePath();
    makeDirectory(parent);

    // Build everything beside the target and move it into place at the end. A failure removes
    // the scratch directory; a run that was killed outright leaves it, and the next run removes it.
    DemoScratch staging(parent);
    const QDir out(staging.path());

    for (const char* sub : {"work", "template", "icon"})
        makeDirectory(out.filePath(QString::fromLatin1(sub)));
    writeIcon(out.filePath("icon/talor.png"), qRgb(0x2e, 0x6d, 0xb4));
    writeIcon(out.filePath("icon/MAILM.ICO"), qRgb(0x8a, 0x8a, 0x8a));
    writeIcon(out.filePath("icon/RSZL.ICO"), qRgb(0x3c, 0x9a, 0x5f));
    writeIcon(out.filePath("icon/GZJS.ICO"), qRgb(0xd0, 0x8c, 0x1e));
    writeIcon(out.filePath("icon/KQTJ.ICO"), qRgb(0xb4, 0x3c, 0x3c));
    // The module's own report (the report name starts as the module key) in all three kinds.
    DemoTemplates::write(out.filePath("template"), QString::fromUtf8(ModuleKey));

    writeText(
        out.filePath("talor.ini"),
        QStringLiteral("; Settings of the attendance modules (sections TALOR, MODEL8, VELD, SYSTEM, PRINT).\n"
                       "; The module is not set up yet: its set-up dialog opens at the first start.\n"
                       "[SYSTEM]\n"
                       "GJKL=8888\n"));
    writeText(out.filePath("suite2.ini"), QStringLiteral("[SYSTEM]\n"
                                                         "QZ_CONNECT=%1 信息中心 电话 010-62345678\n")
                                              .arg(QString::fromUtf8(Organisation)));

    DemoSummary summary = writeDatabase(out.filePath("suite.db"), options);
    writeText(out.filePath("suite.ini"), configurationText(options));

    staging.finishBuilding();
    if (targetInfo.exists() && !QDir().rmdir(target))
        throw SuiteError(QStringLiteral("cannot replace the empty directory %1").arg(target));
    if (!QDir().rename(staging.path(), target)) {
        if (targetInfo.exists())
            QDir().mkdir(target);
        throw SuiteError(QStringLiteral("cannot move the demo suite into %1").arg(target));
    }
    staging.keep();
    // The scratch directory was private; the suite directory gets the usual permissions.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);

    summary.configurationFile = target + QStringLiteral("/suite.ini");
    summary.seconds = clock.elapsed() / 1000.0;
    return summary;
}

} // namespace talor
