#pragma once

#include "ui/UiService.h"

#include <QFont>

namespace talor {

// The UI service on real Qt widgets: message boxes, file and colour dialogs, modal dialogs,
// the progress window, the print preview and the desktop's printers.
class QtUiService : public UiService
{
public:
    Answer message(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                   const QString& title = {}) override;
    std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& directory,
                                    const QString& presetName = {}) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& directory,
                                    const QString& presetName = {}) override;
    std::optional<quint32> chooseColour(QWidget* parent, quint32 initial) override;
    int execDialog(QDialog& dialog) override;
    bool openDocument(const QString& path) override;
    std::unique_ptr<Progress> progress(QWidget* parent, const QString& title, const QString& stopText,
                                       int maximum) override;
    void preview(QWidget* parent, const QString& title, const QPageLayout& layout,
                 const std::function<void(QPagedPaintDevice&)>& paint, bool printable) override;
    std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString& title, QString& printerName) override;
    bool abortPrinter(QPagedPaintDevice& printer) override;

    // Qt's own texts (standard buttons, file, colour and print dialogs) in Chinese, as the
    // rest of the window is, whatever the system's locale: installs Qt's zh_CN translations
    // into the application, and the module's own for its error messages (the texts of the
    // database, the system and files that follow them stay as they come). False when Qt's are
    // not installed (Qt's texts stay English; the module's own are installed all the same).
    static bool installChineseTranslations();

    // The desktop's font (its family and size, as the operator set them) with a Chinese font
    // behind it for the characters the desktop's family lacks: the window's and the dialogs'.
    static QFont desktopFont();

    // The suite's filter form "EXCEL FILE(*.xls)|*.xls|VTS FILE(*.vts)|*.vts" in Qt's form
    // "EXCEL FILE (*.xls);;VTS FILE (*.vts)": pairs of description and patterns.
    static QString qtFilter(const QString& suiteFilter);
};

} // namespace talor
