#include "modulesettings/SettingRules.h"

#include "text/TextFunctions.h"

#include <cmath>

namespace talor {

namespace {

// Whether a text starts with a number as numericValue reads it ("0", " -0.5x"; not "", "红").
bool startsWithNumber(const QString& text)
{
    QStringView rest = QStringView(text).trimmed();
    if (rest.startsWith(u'+') || rest.startsWith(u'-'))
        rest = rest.mid(1);
    if (rest.startsWith(u'.'))
        rest = rest.mid(1);
    return !rest.isEmpty() && rest.front() >= u'0' && rest.front() <= u'9';
}

} // namespace

quint32 abnormalColourValue(const QString& setting)
{
    constexpr double AboveWhite = 0x1000000;
    const double number = text::numericValue(setting);
    if (!(number >= 0) || number >= AboveWhite)
        return DefaultAbnormalColour;
    // 0 is black when it was written as a number ("0"), not when there is none ("", "红").
    if (number == 0 && !startsWithNumber(setting))
        return DefaultAbnormalColour;
    return quint32(number);
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
