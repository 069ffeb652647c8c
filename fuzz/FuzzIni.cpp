// A settings file as found on disk: read keys from it, then write one and read it back.
#include "FuzzInput.h"
#include "settings/IniFile.h"

#include <cstdlib>

using talor::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = talor::fuzz::inputFile(data, size, QStringLiteral("settings.ini"));
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
