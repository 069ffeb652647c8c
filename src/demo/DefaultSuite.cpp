#include "demo/DefaultSuite.h"

#include "demo/DemoSuite.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace talor {

QString defaultSuitePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/demo/suite.ini");
}

QString ensureDefaultSuite()
{
    const QString path = defaultSuitePath();
    if (QFileInfo::exists(path))
        return path;
    DemoSuite::generate(QFileInfo(path).absolutePath(), DemoOptions{});
    return path;
}

} // namespace talor
