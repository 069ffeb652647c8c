#pragma once

#include "grid/Sheet.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace talor::grid {

// File types of Workbook::write.
enum class FileType
{
    Excel = 4,    // an Excel workbook (xlsx content), whatever the file's extension
    Template = 5, // this product's .vts template format
};

// A workbook: one or more named sheets, one of them active, plus the edit permissions of the
// grid that shows it. The cell, heading, extent, selection and format operations act on the
// active sheet, so that the owner works with the book the way it would with a spreadsheet
// control. Rows and columns count from 1.
class Workbook : public QObject
{
    Q_OBJECT

public:
    explicit Workbook(QObject* parent = nullptr);
    ~Workbook() override;

    // --- Sheets -------------------------------------------------------------------------
    int sheetCount() const;
    Sheet& sheet(int number); // 1-based
    const Sheet& sheet(int number) const;
    Sheet& active();
    const Sheet& active() const;
    int activeSheet() const { return m_active; }
    void setActiveSheet(int number);
    QString sheetName(int number) const;
    void setSheetName(int number, const QString& name);
    // Adds a sheet at the end and returns its number.
    int addSheet(const QString& name);
    // Leaves one empty sheet named "Sheet1".
    void clear();
    // Takes over sheets made elsewhere (a file reader): replaces every sheet of the book.
    // `names` has one name per sheet; `active` is 1-based.
    void replaceSheets(std::vector<std::unique_ptr<Sheet>> sheets, std::vector<QString> names, int active);

    // --- Active-sheet shortcuts (the operations the module calls) -----------------------
    // A fill of many cells belongs in a batch of its sheet, `Sheet::Batch batch(book.active());`,
    // so that formulas are recomputed once at its end rather than after every cell.
    QString text(int row, int col) const { return active().text(row, col); }
    void setText(int row, int col, const QString& text) { active().setText(row, col, text); }
    QString formula(int row, int col) const { return active().formula(row, col); }
    int lastRow() const { return active().lastRow(); }
    int lastColumn() const { return active().lastColumn(); }
    void setLastRow(int row) { active().setLastRow(row); }
    void setLastColumn(int col) { active().setLastColumn(col); }

    // --- Edit permissions ---------------------------------------------------------------
    // In-cell editing, and the further permissions that are switched with it.
    bool allowInCellEditing() const { return m_inCellEditing; }
    void setAllowInCellEditing(bool on);
    // Which cells of the active sheet in-cell editing reaches (1-based row and column); all
    // when none is set. The edits that reach many cells at once (paste, fill down, Delete) ask
    // it of every cell, whichever cell is active.
    using CellPermission = std::function<bool(int row, int col)>;
    void setEditableCells(CellPermission editable);
    // In-cell editing is on and reaches (row, col).
    bool mayEdit(int row, int col) const { return m_inCellEditing && (!m_editable || m_editable(row, col)); }
    bool allowEditHeaders() const { return m_editHeaders; }
    void setAllowEditHeaders(bool on);
    bool allowDelete() const { return m_delete; }
    void setAllowDelete(bool on);
    bool allowFillRange() const { return m_fillRange; }
    void setAllowFillRange(bool on);

    // --- Files --------------------------------------------------------------------------
    // Reads a .vts template written by write(Template) (Excel files are written, not read).
    // Throws GridFileError naming the file and the problem (missing, truncated, not a
    // template, newer version); the book is left as it was on failure. The permissions stay.
    void read(const QString& path);
    // Writes the book; throws GridFileError naming the file when it cannot be written.
    // A template is replaced atomically (a failed write leaves the old file).
    void write(const QString& path, FileType type) const;

Q_SIGNALS:
    // Before and after sheets are added or replaced (read, clear); sheet objects obtained
    // before are gone after sheetsChanged when sheets were replaced. A rename emits only
    // sheetsChanged.
    void sheetsAboutToChange();
    void sheetsChanged();
    void activeSheetChanged(int number);
    void permissionsChanged();
    // The cells editing reaches were set anew (editing began or ended).
    void editableCellsChanged();

private:
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<QString> m_names;
    int m_active = 1;
    bool m_inCellEditing = false;
    CellPermission m_editable;
    bool m_editHeaders = false;
    bool m_delete = false;
    bool m_fillRange = false;
};

} // namespace talor::grid
