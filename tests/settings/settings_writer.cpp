// settings_writer FILE PREFIX COUNT: writes the keys PREFIX1 .. PREFIXCOUNT (values "v1" ..)
// into section TALOR of FILE, one write per key, as a separate process would.
#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: settings_writer FILE PREFIX COUNT\n");
        return 2;
    }
    talor::IniFile file(args[1]);
    const int count = args[3].toInt();
    try {
        for (int i = 1; i <= count; ++i)
            file.write(QStringLiteral("TALOR"), args[2] + QString::number(i), u'v' + QString::number(i));
    } catch (const talor::IniFileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
