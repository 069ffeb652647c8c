#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QDialog;
class QWidget;

namespace talor {

// Every message box, question, file dialog, colour dialog and modal dialog of the product
// goes through this one service, so that tests can script the operator's answers headlessly.
class UiService
{
public:
    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo
    };
    enum class Answer
    {
        Ok,
        Cancel,
        Yes,
        No
    };

    virtual ~UiService() = default;

    // A message box; `title` empty means the application's default title.
    virtual Answer message(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                           const QString& title = {}) = 0;

    // File dialogs. `filter` uses the suite's form "EXCEL FILE(*.xls)|*.xls|VTS FILE(*.vts)|*.vts";
    // the result is the chosen path, or nothing when the operator cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& directory,
                                            const QString& presetName = {}) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& directory,
                                            const QString& presetName = {}) = 0;

    // A colour dialog on 0x00BBGGRR colours; nothing when the operator cancels.
    virtual std::optional<quint32> chooseColour(QWidget* parent, quint32 initial) = 0;

    // Shows a dialog modally and returns its result code (QDialog::exec's).
    virtual int execDialog(QDialog& dialog) = 0;

    // Opens the file in the desktop's program for its type (an exported workbook in the
    // spreadsheet program); false when the desktop has no such program or it cannot start.
    virtual bool openDocument(const QString& path) = 0;
};

} // namespace talor
