#include "report/TemplateFiles.h"

#include "suite/SuiteServices.h"

#include <QCryptographicHash>
#include <QDir>

namespace talor {

namespace {

// A file name holds at most 255 bytes, and a safe write first writes a temporary file whose
// name is longer than the target's: template file names stay within 200 bytes. The stem
// leaves room for the kind and ".vts".
constexpr qsizetype MaxFileNameBytes = 200;
constexpr qsizetype MaxStemBytes = MaxFileNameBytes - qsizetype(sizeof("9.vts") - 1);
// A cut stem keeps this many bytes of the name, then "~" and the hash.
constexpr qsizetype CutStemBytes = MaxStemBytes - 9;

} // namespace

QString templateFileStem(const QString& report)
{
    QString stem;
    stem.reserve(report.size());
    for (qsizetype i = 0; i < report.size(); ++i) {
        const QChar c = report.at(i);
        // A leading dot would hide the file.
        if (c == u'%' || c == u'/' || c.unicode() < 0x20 || c.unicode() == 0x7F || (i == 0 && c == u'.'))
            stem += u'%' + QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            stem += c;
    }
    if (stem.toUtf8().size() <= MaxStemBytes)
        return stem;
    // Cut at a whole character, so that the prefix stays valid UTF-8.
    QString prefix;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < stem.size();) {
        const qsizetype length = stem.at(i).isHighSurrogate() && i + 1 < stem.size() ? 2 : 1;
        const qsizetype size = stem.mid(i, length).toUtf8().size();
        if (bytes + size > CutStemBytes)
            break;
        prefix += stem.mid(i, length);
        bytes += size;
        i += length;
    }
    const QByteArray hash =
        QCryptographicHash::hash(report.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    return prefix + u'~' + QString::fromLatin1(hash);
}

QString templatePath(SuiteServices& suite, const QString& report, int kind)
{
    return QDir(suite.templateDirectory())
        .filePath(templateFileStem(report) + QString::number(kind) + ".vts");
}

} // namespace talor
