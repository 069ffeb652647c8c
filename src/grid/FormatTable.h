#pragma once

#include "grid/Sheet.h"

#include <QHash>
#include <vector>

namespace talor::grid {

// The formats of one sheet, each stored once; cells refer to them by a small id. Id 0 is the
// default format.
class FormatTable
{
public:
    static constexpr int MaxFormats = 65535;

    FormatTable();

    // The id of `format`, adding it when it is new. Throws std::length_error when the table
    // is full.
    int intern(const CellFormat& format);
    const CellFormat& at(int id) const { return m_formats[size_t(id)]; }
    int size() const { return int(m_formats.size()); }
    void clear();

private:
    std::vector<CellFormat> m_formats;
    // Found by the format's fields themselves: interning runs for every formatted cell of a
    // report, so it hashes numbers instead of composing a text key.
    QHash<CellFormat, int> m_ids;
};

// Hashes every field that operator== compares.
size_t qHash(const CellFormat& format, size_t seed = 0) noexcept;

} // namespace talor::grid
