// A settings file as found on disk: read keys from it, then write one and read it back.
#include "settings/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using talor::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    IniFile ini(path, 0);
    try {
        const QString before = ini.read(QStringLiteral("Print"), QStringLiteral("Copies"));
        ini.read(QString(), QStringLiteral(" 0"));
        ini.write(QStringLiteral("Print"), QStringLiteral("Margin"), QStringLiteral("12"));
        // A write changes one key and keeps every other one.
        if (ini.read(QStringLiteral("Print"), QStringLiteral("Margin")) != QStringLiteral("12") ||
            ini.read(QStringLiteral("Print"), QStringLiteral("Copies")) != before)
            std::abort();
    } catch (const talor::IniFileError&) {
    }
    return 0;
}
