#include "modulesettings/SettingRules.h"

#include "text/TextFunctions.h"

#include <cmath>

namespace talor {

quint32 abnormalColourValue(const QString& setting)
{
    const double number = std::trunc(text::numericValue(setting));
    if (!(number > 0) || number > double(WhiteColour))
        return DefaultAbnormalColour;
    return quint32(number);
}

QString abnormalColourText(quint32 colour)
{
    return QString::number(colour == 0 ? 1 : colour);
}

QString reportKindValue(const QString& setting)
{
    if (setting == u"1" || setting == u"2" || setting == u"3")
        return setting;
    return QStringLiteral("2");
}

bool isRestricted(const QString& list, const QString& command)
{
    return !command.isEmpty() && list.contains(command);
}

} // namespace talor
