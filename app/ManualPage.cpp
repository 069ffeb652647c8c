// talor_manual FILE: writes the manual page talor(1) from the commands' own help texts.

#include "HostCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: talor_manual FILE\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const QByteArray page = talor::manualPage().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size() ||
        !file.flush()) {
        std::fprintf(stderr, "talor_manual: %s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
