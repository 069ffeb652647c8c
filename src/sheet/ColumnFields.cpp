#include "sheet/ColumnFields.h"

#include "suite/SuiteServices.h"

#include <stdexcept>

namespace talor {

namespace {

void checkIndex(int column)
{
    if (column < 0 || column >= ColumnFields::Size)
        throw std::out_of_range("ColumnField has no entry " + std::to_string(column));
}

} // namespace

QString ColumnFields::field(int column) const
{
    checkIndex(column);
    return m_fields[size_t(column)];
}

void ColumnFields::setField(int column, const QString& field)
{
    checkIndex(column);
    m_fields[size_t(column)] = field;
}

bool ColumnFields::isHidden(const QString& caption, const QString& hidden)
{
    return !hidden.isEmpty() && (caption.isEmpty() || hidden.contains(caption));
}

void ColumnFields::lookUp(SuiteServices& suite, int columns)
{
    checkIndex(columns);
    const QString hidden = suite.hiddenFields();
    m_facts.assign(size_t(qMax(columns, 0)), ColumnFacts());
    for (int c = 1; c <= columns; ++c) {
        ColumnFacts& facts = m_facts[size_t(c - 1)];
        facts.field = m_fields[size_t(c)];
        if (facts.field.isEmpty())
            continue;
        facts.caption = suite.fieldCaption(facts.field);
        facts.hidden = isHidden(facts.caption, hidden);
        facts.type = suite.fieldType(facts.field);
        facts.format = suite.fieldFormat(facts.field);
        facts.codeKind = suite.fieldCodeKind(facts.field);
    }
    m_colourField = !suite.fieldCaption(QStringLiteral("nCOLOR")).isEmpty();
}

const ColumnFacts& ColumnFields::facts(int column) const
{
    static const ColumnFacts none;
    if (column < 1 || column > int(m_facts.size()))
        return none;
    return m_facts[size_t(column - 1)];
}

} // namespace talor
