#pragma once

#include <QString>
#include <array>
#include <vector>

namespace talor {

class SuiteServices;

// What the display needs to know about the field of one report column, looked up once per
// layout instead of once per cell.
struct ColumnFacts
{
    QString field;   // the ColumnField entry; empty when the column shows no field
    QString caption; // the dictionary caption of the field
    QString type;    // "S", "I", "D", "T", "Y" or another text (untyped)
    QString format;  // the display format, empty or blank for the type's default
    int codeKind = 0;
    bool hidden = false; // the caption occurs in the suite's hidden-field list
    // The display writes this column (a field that is not hidden).
    bool shown() const { return !field.isEmpty() && !hidden; }
};

// ColumnField: the database field shown in each grid column (entries 1 to 255; entry 0 is
// never set), filled by the report layout from the template's labels, together with the
// facts of those fields. An index outside 0..255 throws std::out_of_range.
class ColumnFields
{
public:
    static constexpr int Size = 256;

    QString field(int column) const;
    void setField(int column, const QString& field);

    // Looks up the facts of columns 1..columns in the suite's field dictionary, and whether
    // the dictionary knows "nCOLOR". Called after every layout; the display reads only these.
    void lookUp(SuiteServices& suite, int columns);
    // The facts of column 1..lookedUpColumns(); a column beyond gives the facts of no field.
    const ColumnFacts& facts(int column) const;
    int lookedUpColumns() const { return int(m_facts.size()); }
    // The dictionary has a caption for "nCOLOR": rows are coloured and framed.
    bool colourField() const { return m_colourField; }

    // Whether `caption` counts as listed in the hidden-field text `hidden`: a plain substring
    // test; with a non-empty list an empty caption counts as listed.
    static bool isHidden(const QString& caption, const QString& hidden);

private:
    std::array<QString, Size> m_fields;
    std::vector<ColumnFacts> m_facts;
    bool m_colourField = false;
};

} // namespace talor
