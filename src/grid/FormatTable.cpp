#include "grid/FormatTable.h"

#include <stdexcept>

namespace talor::grid {

size_t qHash(const CellFormat& f, size_t seed) noexcept
{
    const CellBorder& b = f.border;
    return qHashMulti(seed, f.numberFormat, f.fill.pattern, f.fill.foreground, f.fill.background, b.left,
                      b.right, b.top, b.bottom, b.leftColour, b.rightColour, b.topColour, b.bottomColour);
}

FormatTable::FormatTable()
{
    clear();
}

void FormatTable::clear()
{
    m_formats.assign(1, CellFormat());
    m_ids.clear();
    m_ids.insert(m_formats.front(), 0);
}

int FormatTable::intern(const CellFormat& format)
{
    const auto found = m_ids.constFind(format);
    if (found != m_ids.cend())
        return found.value();
    if (size() >= MaxFormats)
        throw std::length_error("the sheet holds too many different cell formats");
    m_formats.push_back(format);
    m_ids.insert(format, size() - 1);
    return size() - 1;
}

} // namespace talor::grid
