#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPageLayout;
class QPagedPaintDevice;
class QWidget;

namespace talor {

// Every message box, question, file dialog, colour dialog, modal dialog, progress window,
// print preview and printer of the product goes through this one service, so that tests can
// script the operator's answers headlessly and the logic needs no widgets.
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

    // The progress of a long task the operator may stop: a window with a label and a bar from
    // 0 to the maximum, and a button that stops the task between its steps.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        // Shows how far the task is and what it does now; lets the window answer meanwhile.
        virtual void setValue(int value, const QString& label) = 0;
        // Whether the operator asked the task to stop.
        virtual bool cancelled() = 0;
    };
    // A progress window titled `title` whose stop button reads `stopText`; it closes when the
    // object goes.
    virtual std::unique_ptr<Progress> progress(QWidget* parent, const QString& title, const QString& stopText,
                                               int maximum) = 0;

    // A print preview of the pages `paint` paints onto the device it is given (in `layout`),
    // from which the operator may print them when `printable` (the preview offers no printing
    // and no page set-up otherwise); returns when the preview closes. `paint` may be called more
    // than once, as the preview paints again.
    virtual void preview(QWidget* parent, const QString& title, const QPageLayout& layout,
                         const std::function<void(QPagedPaintDevice&)>& paint, bool printable) = 0;

    // The desktop's default printer for a document named `title`, and its name; null where
    // the machine has none.
    virtual std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString& title, QString& printerName) = 0;
    // Drops the job being painted on a printer from defaultPrinter, so that none of it is
    // printed; false where the printer's driver cannot (a service without printers has none).
    virtual bool abortPrinter(QPagedPaintDevice&) { return false; }
};

} // namespace talor
