#pragma once
// The fuzz input as the harnesses take it: as a file on disk, or as two texts.

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace talor::fuzz {

// The input written to a file named `name` in a folder of the run's own; its path.
inline QString inputFile(const uint8_t* data, size_t size, const QString& name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

// `input` cut at its first `separator`: the text before it (empty without one) and the text
// after it (the whole input without one).
inline std::pair<QString, QString> cutAt(const QString& input, QChar separator)
{
    const qsizetype cut = input.indexOf(separator);
    if (cut < 0)
        return {QString(), input};
    return {input.left(cut), input.mid(cut + 1)};
}

// The input as UTF-8, cut at its first line break.
inline std::pair<QString, QString> linesOf(const uint8_t* data, size_t size)
{
    return cutAt(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)), u'\n');
}

} // namespace talor::fuzz
