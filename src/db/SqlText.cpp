#include "db/SqlText.h"

#include "text/TextFunctions.h"

namespace talor::sql {

QString escaped(const QString& text)
{
    QString result = text;
    return result.replace(u'\'', u"''"_qs);
}

QString quoted(const QString& text)
{
    return u'\'' + escaped(text) + u'\'';
}

bool quotedDates(const QString& databaseKind)
{
    return text::numericValue(databaseKind) > 1;
}

QString dateLiteral(const QString& dateText, const QString& databaseKind)
{
    return quotedDates(databaseKind) ? quoted(dateText) : u'#' + dateText + u'#';
}

QString dateLiteral(const QDate& date, const QString& databaseKind)
{
    return dateLiteral(date.toString(u"yyyy-MM-dd"_qs), databaseKind);
}

} // namespace talor::sql
