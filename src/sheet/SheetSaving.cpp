#include "sheet/SheetSaving.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <iterator>

namespace talor {

namespace {

const QString OperatorField = QStringLiteral("CZYXM");
const QString DepartmentField = QStringLiteral("DEPART");
const QString GroupField = QStringLiteral("GROUP0");

} // namespace

void SheetSnapshot::take(const grid::Sheet& sheet)
{
    clear();
    m_rows = sheet.lastRow();
    m_columns = sheet.lastColumn();
    m_cells.resize(size_t(m_rows) * size_t(m_columns));
    auto cell = m_cells.begin();
    for (int r = 1; r <= m_rows; ++r) {
        for (int c = 1; c <= m_columns; ++c, ++cell) {
            cell->text = sheet.text(r, c);
            cell->isNumber = sheet.isNumber(r, c);
            if (cell->isNumber) {
                cell->number = sheet.number(r, c);
                cell->format = sheet.formatId(r, c);
            }
        }
    }
}

void SheetSnapshot::clear()
{
    m_cells = {};
    m_rows = m_columns = 0;
}

bool SheetSnapshot::unchanged(const grid::Sheet& sheet, int row, int col) const
{
    if (row < 1 || row > m_rows || col < 1 || col > m_columns)
        return false;
    const Cell& cell = m_cells[size_t(row - 1) * size_t(m_columns) + size_t(col - 1)];
    if (cell.isNumber && sheet.isNumber(row, col) && sheet.number(row, col) == cell.number &&
        sheet.formatId(row, col) == cell.format)
        return true;
    return sheet.text(row, col) == cell.text;
}

SheetSaving::SheetSaving(SuiteServices& suite, const ColumnFields& columns, const grid::Sheet& sheet,
                         Recordset& records)
    : m_suite(suite), m_columns(columns), m_sheet(sheet), m_records(records)
{}

std::optional<QVariant> SheetSaving::dateValue(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    if (text::isValidDate(text)) {
        if (const auto value = text::parseDateTime(text))
            return QVariant(*value);
    }
    // A day number is the whole text: the leading digits of a time ("8:30") or of any other
    // text are no day.
    const std::optional<double> n = text::parseNumber(text);
    if (n && *n > 0) {
        if (const auto value = text::dateTimeFromSerial(*n))
            return QVariant(*value);
    }
    return std::nullopt;
}

std::optional<QVariant> SheetSaving::timeValue(const QString& text)
{
    // A time ("8:30") is never a date, which begins with its four-digit year.
    if (const auto value = text::parseTime(text))
        return QVariant(*value);
    return dateValue(text);
}

void SheetSaving::lookUpColumns()
{
    const int last = m_sheet.lastColumn();
    const QString hidden = m_suite.hiddenFields();
    const QString unsaved = m_suite.unsavedFields();
    m_facts.assign(size_t(last + 1), Column{});
    for (int c = 1; c <= last && c < ColumnFields::Size; ++c) {
        Column& column = m_facts[size_t(c)];
        column.field = m_columns.field(c);
        if (column.field.isEmpty())
            continue;
        column.caption = m_suite.fieldCaption(column.field);
        column.shown = !ColumnFields::isHidden(column.caption, hidden);
        column.saved = column.shown && !ColumnFields::isHidden(column.caption, unsaved);
        if (!column.saved)
            continue;
        column.type = m_suite.fieldType(column.field);
        if (column.type == QLatin1String("S"))
            column.codeKind = m_suite.fieldCodeKind(column.field);
    }
}

// The code of a name by the field's code kind, looked up under the department and group the
// record has after the save; the same lookups are asked of the suite once per save.
QString SheetSaving::codeOf(const Column& column, const QString& name)
{
    const QString department = QStringLiteral("部门");
    const Owner owner =
        m_plannedOwner.value_or(Owner{m_records.text(DepartmentField), m_records.text(GroupField)});
    QString key;
    if (column.codeKind == 1)
        key = QStringLiteral("1\x1f%1\x1f%2\x1f%3").arg(owner.department, owner.group, name);
    else if (column.codeKind == 2)
        key = QStringLiteral("2\x1f%1\x1f%2").arg(owner.department, name);
    else
        key = QStringLiteral("3\x1f%1\x1f%2").arg(column.caption, name);
    const auto it = m_codes.constFind(key);
    if (it != m_codes.cend())
        return *it;
    QString code;
    if (column.codeKind == 1) {
        const QString departmentName = m_suite.categoryName(department, owner.department);
        const QString groupName = m_suite.groupName(departmentName, owner.group);
        code = m_suite.teamCode(departmentName, groupName, name);
    } else if (column.codeKind == 2) {
        code = m_suite.groupCode(m_suite.categoryName(department, owner.department), name);
    } else {
        code = m_suite.categoryCode(column.caption, name);
    }
    m_codes.insert(key, code);
    return code;
}

std::optional<FieldWrite> SheetSaving::SaveRecord(int fieldIndex, int row, int column)
{
    if (m_facts.empty())
        lookUpColumns();
    if (fieldIndex < 1 || fieldIndex >= int(m_facts.size()))
        return std::nullopt;
    const Column& facts = m_facts[size_t(fieldIndex)];
    if (!facts.saved)
        return std::nullopt;
    const QString t = m_sheet.text(row, column);
    const QString& type = facts.type;
    if (type == QLatin1String("S")) {
        if (t.isEmpty())
            return FieldWrite{facts.field, QVariant()};
        if (facts.codeKind == 0)
            return FieldWrite{facts.field, t};
        if (facts.codeKind < 1 || facts.codeKind > 3)
            return std::nullopt;
        const QString code = codeOf(facts, t);
        if (code.isEmpty())
            throw refused(row, column, QStringLiteral("没有对应的代码"));
        return FieldWrite{facts.field, code};
    }
    // A typed cell the save cannot read stops the save: skipped, or read as its leading digits,
    // it would be told saved while the field keeps another value.
    if (type == QLatin1String("I") || type == QLatin1String("D")) {
        if (t.isEmpty())
            return FieldWrite{facts.field, 0.0};
        const std::optional<double> number = text::typedNumber(t);
        if (!number)
            throw refused(row, column, QStringLiteral("不是数字"));
        return FieldWrite{facts.field, *number};
    }
    if (type == QLatin1String("T") || type == QLatin1String("Y")) {
        // An emptied date or time clears the field, as an emptied text does: left alone, the
        // old date would be told saved and come back on the next read.
        if (t.isEmpty())
            return FieldWrite{facts.field, QVariant()};
        const bool date = type == QLatin1String("T");
        const auto value = date ? dateValue(t) : timeValue(t);
        if (!value)
            throw refused(row, column, date ? QStringLiteral("不是日期") : QStringLiteral("不是时间"));
        return FieldWrite{facts.field, *value};
    }
    return FieldWrite{facts.field, t.isEmpty() ? QVariant() : QVariant(t)};
}

SaveCheckError SheetSaving::refused(int row, int column, const QString& why) const
{
    const QString label = sheetLayoutOf(m_sheet) == SheetLayout::Heading ? m_sheet.columnHeading(column)
                                                                         : m_sheet.text(4, column);
    return SaveCheckError{
        row, column,
        QStringLiteral("第%1行%2“%3”%4，无法保存").arg(row).arg(label, m_sheet.text(row, column), why)};
}

// The department and group codes the current record holds after the save, for the lookups of
// its group and team names: a group or team typed beside a new department or group belongs to
// the new one, whatever the columns' order. A name without a code leaves the record's own
// (the plan refuses it at its column).
void SheetSaving::planOwner(int row, const SheetSnapshot* before)
{
    // Records without the fields (a table of no department) have no owner to look names up under.
    const auto own = [this](const QString& field) {
        return m_records.hasField(field) ? m_records.text(field) : QString();
    };
    m_plannedOwner = Owner{own(DepartmentField), own(GroupField)};
    // The department first: the group's code is looked up under it.
    for (const auto& [field, code] : {std::pair(DepartmentField, &m_plannedOwner->department),
                                      std::pair(GroupField, &m_plannedOwner->group)}) {
        for (int c = int(m_facts.size()) - 1; c >= 1; --c) {
            if (m_facts[size_t(c)].field.compare(field, Qt::CaseInsensitive) != 0)
                continue;
            if (before && before->unchanged(m_sheet, row, c))
                break;
            try {
                if (const auto write = SaveRecord(c, row, c))
                    *code = write->value.toString();
            } catch (const SaveCheckError&) {
            }
            break;
        }
    }
}

std::vector<RecordWrites> SheetSaving::plan(const SheetSnapshot* before)
{
    lookUpColumns();
    m_codes.clear();
    const auto ownRecordsOwner = qScopeGuard([this] { m_plannedOwner.reset(); });
    const bool operatorKnown = !m_suite.fieldCaption(OperatorField).isEmpty();
    const QString operatorName = operatorKnown ? m_suite.operatorName() : QString();
    const int offset = headerRows(sheetLayoutOf(m_sheet));
    const int last = m_sheet.lastColumn();
    std::vector<RecordWrites> plan;
    plan.reserve(size_t(m_records.recordCount()));
    int counter = 0;
    std::vector<FieldWrite> writes; // the row's writes, gathered here so that each record's list is made once
    for (m_records.moveFirst(); !m_records.eof(); m_records.moveNext()) {
        ++counter;
        RecordWrites record{m_records.position(), counter + offset, {}};
        planOwner(record.row, before);
        writes.clear();
        for (int c = 1; c <= last; ++c) {
            if (before && before->unchanged(m_sheet, record.row, c))
                continue;
            if (auto write = SaveRecord(c, record.row, c))
                writes.push_back(std::move(*write));
        }
        // The operator signs the records this save changes; a record nobody touched keeps
        // the name of whoever saved it last.
        if (operatorKnown && !writes.empty())
            writes.push_back({OperatorField, operatorName});
        record.writes.assign(std::make_move_iterator(writes.begin()), std::make_move_iterator(writes.end()));
        plan.push_back(std::move(record));
    }
    m_records.moveFirst();
    return plan;
}

QString SheetSaving::recordName() const
{
    QStringList parts;
    for (const char* field : {"name", "memberid"})
        if (m_records.hasField(QString::fromLatin1(field)) &&
            !m_records.text(QString::fromLatin1(field)).isEmpty())
            parts << m_records.text(QString::fromLatin1(field));
    if (m_records.hasField(QStringLiteral("zhdate")))
        parts << m_records.text(QStringLiteral("zhdate")).left(10);
    return parts.join(u' ');
}

SheetSaving::Failure SheetSaving::applyAll(const std::vector<RecordWrites>& plan)
{
    int i = 0;
    for (m_records.moveFirst(); i < int(plan.size()) && !m_records.eof(); ++i, m_records.moveNext()) {
        const RecordWrites& record = plan[size_t(i)];
        try {
            for (const FieldWrite& write : record.writes)
                m_records.setValue(write.field, write.value);
            m_records.update();
        } catch (const ConnectionLostError&) {
            return Failure{i, {}, true};
        } catch (const ConflictError& error) {
            return Failure{i,
                           QStringLiteral("%1 的记录在读出后已被其他操作员保存，未覆盖他的修改（%2）")
                               .arg(recordName(), error.message()),
                           false, true};
        } catch (const DatabaseError& error) {
            QStringList fields;
            for (const FieldWrite& write : record.writes)
                fields << write.field;
            return Failure{i,
                           QStringLiteral("保存 %1 的记录（字段 %2）时数据库出错：%3")
                               .arg(recordName(), fields.join(u','), error.message()),
                           false};
        }
    }
    return {};
}

SaveOutcome SheetSaving::apply(const std::vector<RecordWrites>& plan)
{
    QSqlDatabase db = m_suite.connection();
    // A save is made on what the operator saw: another operator's save since the read of any
    // field the sheet shows, changed here or not, is a conflict (a hidden field is not seen).
    if (m_facts.empty())
        lookUpColumns();
    QStringList shown;
    for (const Column& column : m_facts)
        if (column.shown && m_records.hasField(column.field))
            shown << column.field;
    m_records.setCheckedFields(shown);
    // The records as read. A save taken back leaves them so: rows it had written would
    // otherwise hold the new values and the next save would find nothing to write there.
    const Recordset asRead = m_records;
    const auto takenBack = [&](const QString& why, int row = 0) {
        m_records = asRead;
        m_records.moveFirst();
        return SaveOutcome{0, false, row, 0, why};
    };
    const QString lost = QStringLiteral("保存时与数据库 %1 的连接断开，本次保存已全部撤销，没有记录被保存；"
                                        "修改仍在表格中，请在数据库恢复后重新保存")
                             .arg(Connections::address(db));
    if (Connections::readOnly(db))
        return takenBack(QStringLiteral("数据库 %1 对本账户只能读，没有记录被保存；修改仍在表格中，"
                                        "请管理员给本账户写入它的权限后重新保存")
                             .arg(Connections::address(db)));
    try {
        // One save is one transaction: every record is written, or none.
        TransactionScope transaction(db);
        if (!transaction.active())
            return takenBack(
                QStringLiteral("无法开始保存，没有记录被保存：%1").arg(transaction.lastError().text()));
        const Failure failure = applyAll(plan);
        if (failure.lost)
            return takenBack(lost);
        if (failure.index >= 0) {
            transaction.rollback();
            return takenBack(failure.message + (failure.conflicted ? ConflictedRecord : RefusedRecord),
                             plan[size_t(failure.index)].row);
        }
        // A commit that fails on a lost connection: lost before COMMIT was sent, certainly
        // nothing was saved; lost while it ran, nobody can tell.
        const bool lostBefore = Connections::lost(db);
        if (!transaction.commit()) {
            if (!Connections::lost(db, transaction.lastError()))
                return takenBack(
                    QStringLiteral("保存未能提交，没有记录被保存：%1").arg(transaction.lastError().text()));
            return takenBack(
                lostBefore ? lost
                           : QStringLiteral("提交保存时与数据库 %1 的连接断开，无法确定本次保存是否已生效；"
                                            "请在数据库恢复后重新查询核对")
                                 .arg(Connections::address(db)));
        }
    } catch (const DatabaseError& error) {
        // A statement besides the records' updates failed (a lost connection that cannot be made
        // again, say): the transaction is rolled back, nothing was written.
        return takenBack(QStringLiteral("无法保存，没有记录被保存：%1").arg(error.message()));
    }
    m_records.moveFirst();
    return SaveOutcome{int(plan.size()), true, 0, 0, {}};
}

SaveOutcome SheetSaving::SaveSheet(const SheetSnapshot* before)
{
    std::vector<RecordWrites> writes;
    try {
        writes = plan(before);
    } catch (const SaveCheckError& error) {
        m_records.moveFirst();
        return SaveOutcome{0, false, error.row, error.column, error.message};
    }
    return apply(writes);
}

} // namespace talor
