#include "grid/FormatTable.h"

#include <stdexcept>

namespace talor::grid {

FormatTable::FormatTable()
{
    clear();
}

void FormatTable::clear()
{
    m_formats.assign(1, CellFormat());
    m_ids.clear();
    m_ids.insert(key(m_formats.front()), 0);
}

QString FormatTable::key(const CellFormat& f)
{
    const CellBorder& b = f.border;
    return QString::asprintf("%d/%x/%x|%d/%d/%d/%d|%x/%x/%x/%x|", f.fill.pattern, f.fill.foreground,
                             f.fill.background, b.left, b.right, b.top, b.bottom, b.leftColour, b.rightColour,
                             b.topColour, b.bottomColour) +
           f.numberFormat;
}

int FormatTable::intern(const CellFormat& format)
{
    const QString k = key(format);
    const auto found = m_ids.constFind(k);
    if (found != m_ids.cend())
        return found.value();
    if (size() >= MaxFormats)
        throw std::length_error("the sheet holds too many different cell formats");
    m_formats.push_back(format);
    m_ids.insert(k, size() - 1);
    return size() - 1;
}

} // namespace talor::grid
