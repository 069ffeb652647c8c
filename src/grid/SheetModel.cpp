#include "grid/SheetModel.h"

#include "grid/CellAddress.h"
#include "grid/CellInput.h"
#include "grid/Workbook.h"
#include "grid/formula/Value.h"

#include <QBrush>
#include <QColor>

namespace talor::grid {

namespace {

// One cell's edit: its text as edited before and after.
class CellEdit : public QUndoCommand
{
public:
    CellEdit(SheetModel& model, int row, int col, QString before, QString after)
        : m_model(model), m_row(row), m_col(col), m_before(std::move(before)), m_after(std::move(after))
    {}
    void undo() override { write(m_before); }
    void redo() override { write(m_after); }

private:
    void write(const QString& text)
    {
        const QModelIndex index = m_model.index(m_row - 1, m_col - 1);
        if (index.isValid() && (m_model.flags(index) & Qt::ItemIsEditable))
            m_model.writeTyped(m_row, m_col, text);
        else
            setObsolete(true);
    }
    SheetModel& m_model;
    int m_row, m_col;
    QString m_before, m_after;
};

} // namespace

SheetModel::SheetModel(Workbook* book, QObject* parent) : QAbstractTableModel(parent), m_book(book)
{
    connect(book, &Workbook::editableCellsChanged, &m_undo, &QUndoStack::clear);
    connect(this, &QAbstractItemModel::modelReset, &m_undo, &QUndoStack::clear);
    connect(book, &Workbook::sheetsAboutToChange, this, [this] {
        m_resetting = true;
        beginResetModel();
        detach();
    });
    connect(book, &Workbook::sheetsChanged, this, [this] {
        if (!m_resetting)
            return; // a sheet was renamed
        m_resetting = false;
        attach();
        endResetModel();
    });
    connect(book, &Workbook::activeSheetChanged, this, [this] {
        if (m_sheet == &m_book->active())
            return;
        beginResetModel();
        detach();
        attach();
        endResetModel();
    });
    attach();
}

QColor SheetModel::colour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void SheetModel::detach()
{
    if (m_sheet)
        disconnect(m_sheet, nullptr, this, nullptr);
    m_sheet = nullptr;
    m_rows = m_cols = 0;
}

void SheetModel::attach()
{
    m_sheet = &m_book->active();
    m_rows = m_sheet->lastRow();
    m_cols = m_sheet->lastColumn();
    connect(m_sheet, &Sheet::cellsChanged, this, &SheetModel::onCellsChanged);
    connect(m_sheet, &Sheet::formatsChanged, this, &SheetModel::onCellsChanged);
    connect(m_sheet, &Sheet::extentChanged, this, &SheetModel::onExtentChanged);
    connect(m_sheet, &Sheet::headingsChanged, this, [this] {
        if (m_cols > 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
        if (m_rows > 0)
            Q_EMIT headerDataChanged(Qt::Vertical, 0, m_rows - 1);
    });
    connect(m_sheet, &Sheet::aboutToBeReset, this, [this] { beginResetModel(); });
    connect(m_sheet, &Sheet::reset, this, [this] {
        m_rows = m_sheet->lastRow();
        m_cols = m_sheet->lastColumn();
        endResetModel();
    });
}

void SheetModel::onCellsChanged(const CellRange& range)
{
    const int row2 = std::min(range.row2, m_rows);
    const int col2 = std::min(range.col2, m_cols);
    if (range.row1 > row2 || range.col1 > col2)
        return;
    Q_EMIT dataChanged(index(range.row1 - 1, range.col1 - 1), index(row2 - 1, col2 - 1));
}

void SheetModel::onExtentChanged()
{
    // A report grows one row at a time; views pay for every insertion (headers measure
    // their texts), so growth is announced once per turn of the event loop. Shrinking drops
    // cells and is announced at once.
    if (m_sheet->lastRow() < m_rows || m_sheet->lastColumn() < m_cols) {
        syncExtent();
        return;
    }
    if (!m_syncQueued) {
        m_syncQueued = true;
        QMetaObject::invokeMethod(this, &SheetModel::syncExtent, Qt::QueuedConnection);
    }
}

void SheetModel::syncExtent()
{
    m_syncQueued = false;
    if (!m_sheet)
        return;
    const int rows = m_sheet->lastRow();
    const int cols = m_sheet->lastColumn();
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        m_cols = cols;
        endInsertColumns();
    } else if (cols < m_cols) {
        beginRemoveColumns({}, cols, m_cols - 1);
        m_cols = cols;
        endRemoveColumns();
    }
}

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const
{
    if (!m_sheet || !index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return m_sheet->text(row, col);
    case Qt::EditRole: {
        if (const QString f = m_sheet->formula(row, col); !f.isEmpty())
            return f;
        const QString text = m_sheet->text(row, col);
        const CellInput typed = parseInput(text);
        // An edit left unchanged must leave the cell as it was: a text that would be read as
        // a number, date or formula keeps its apostrophe, and a number whose shown text
        // rounds it is edited in full.
        if (!m_sheet->isNumber(row, col)) {
            const bool readsBackAsIs = typed.kind == CellInput::Kind::Empty ||
                                       (typed.kind == CellInput::Kind::Text && typed.text == text);
            return readsBackAsIs ? text : QString(u'\'' + text);
        }
        const double value = m_sheet->number(row, col);
        if (typed.kind == CellInput::Kind::Number && typed.number == value)
            return text;
        return m_sheet->isDate(row, col) ? text::formatNumber(value, QStringLiteral("yyyy-mm-dd hh:mm:ss"))
                                         : text::formatGeneral(value);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (m_sheet->isNumber(row, col) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::BackgroundRole: {
        const CellFill fill = m_sheet->fill(row, col);
        if (fill.pattern == 0)
            return {};
        if (fill.pattern == 1)
            return QBrush(colour(fill.foreground));
        return QBrush(colour(fill.foreground), Qt::Dense4Pattern);
    }
    case BorderRole:
        return QVariant::fromValue(m_sheet->border(row, col));
    case FillRole:
        return QVariant::fromValue(m_sheet->fill(row, col));
    default:
        return {};
    }
}

void SheetModel::writeTyped(int row, int col, const QString& text)
{
    m_sheet->setText(row, col, text);
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_sheet || role != Qt::EditRole || !index.isValid() ||
        !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    if (!(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString before = data(index, Qt::EditRole).toString();
    m_undo.push(new CellEdit(*this, index.row() + 1, index.column() + 1, before, value.toString()));
    return true;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_sheet || section < 0)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section >= m_cols)
            return {};
        const QString heading = m_sheet->columnHeading(section + 1);
        return heading.isEmpty() ? columnName(section + 1) : heading;
    }
    if (section >= m_rows)
        return {};
    const QString heading = m_sheet->rowHeading(section + 1);
    return heading.isEmpty() ? QString::number(section + 1) : heading;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A formula cell computes its value from the others: typing would replace the formula.
    if (m_book && m_book->mayEdit(index.row() + 1, index.column() + 1) &&
        !(m_sheet && m_sheet->isFormula(index.row() + 1, index.column() + 1)))
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace talor::grid
