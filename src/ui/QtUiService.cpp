#include "ui/QtUiService.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTranslator>
#include <QUrl>

namespace talor {

namespace {

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 toBgr(const QColor& colour)
{
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

QString startPath(const QString& directory, const QString& presetName)
{
    if (presetName.isEmpty())
        return directory;
    if (directory.isEmpty())
        return presetName;
    return QDir(directory).filePath(presetName);
}

} // namespace

UiService::Answer QtUiService::message(QWidget* parent, const QString& text, Buttons buttons,
                                       const QString& title)
{
    QMessageBox box(parent);
    // Messages name what the database and files hold: shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    box.setIcon(buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing a box with the window button counts as its cancelling answer.
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtUiService::openFile(QWidget* parent, const QString& filter, const QString& directory,
                                             const QString& presetName)
{
    const QString path =
        QFileDialog::getOpenFileName(parent, {}, startPath(directory, presetName), qtFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtUiService::saveFile(QWidget* parent, const QString& filter, const QString& directory,
                                             const QString& presetName)
{
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(parent, {}, startPath(directory, presetName),
                                                qtFilter(filter), &chosenFilter);
    if (path.isEmpty())
        return std::nullopt;
    // A name typed without a suffix takes the chosen type's, so that the file opens as what it holds.
    static const QRegularExpression firstSuffix(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch suffix = firstSuffix.match(chosenFilter.section(u'(', -1));
    if (QFileInfo(path).suffix().isEmpty() && suffix.hasMatch())
        path += u'.' + suffix.captured(1);
    return path;
}

std::optional<quint32> QtUiService::chooseColour(QWidget* parent, quint32 initial)
{
    const QColor colour = QColorDialog::getColor(fromBgr(initial), parent);
    if (!colour.isValid())
        return std::nullopt;
    return toBgr(colour);
}

int QtUiService::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

bool QtUiService::openDocument(const QString& path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // xdg-open starts without complaint when no program takes the file's type: ask the
    // desktop's type database for the type's program first.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!xdgMime.isEmpty()) {
        QProcess query;
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                              QMimeDatabase().mimeTypeForFile(path).name()});
        if (query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit &&
            query.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtUiService::qtFilter(const QString& suiteFilter)
{
    const QStringList parts = suiteFilter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).trimmed().replace(u';', u' ');
        // Qt reads the patterns from the last parentheses of each entry.
        if (!description.endsWith(u')'))
            description += " (" + patterns + ")";
        out << description;
    }
    if (out.isEmpty() && !suiteFilter.isEmpty())
        out << suiteFilter;
    return out.join(";;");
}

namespace {

class DialogProgress : public UiService::Progress
{
public:
    DialogProgress(QWidget* parent, const QString& title, const QString& stopText, int maximum)
        : m_dialog(parent)
    {
        m_dialog.setObjectName(QStringLiteral("progress"));
        // The steps name persons and files: shown as written.
        auto* steps = new QLabel(&m_dialog);
        steps->setTextFormat(Qt::PlainText);
        m_dialog.setLabel(steps);
        m_dialog.setWindowTitle(title);
        m_dialog.setCancelButtonText(stopText);
        m_dialog.setRange(0, maximum);
        m_dialog.setMinimumDuration(0);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setWindowModality(Qt::WindowModal);
    }
    void setValue(int value, const QString& label) override
    {
        m_dialog.setLabelText(label);
        m_dialog.setValue(value);
        QCoreApplication::processEvents();
    }
    bool cancelled() override
    {
        QCoreApplication::processEvents();
        return m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

std::unique_ptr<UiService::Progress> QtUiService::progress(QWidget* parent, const QString& title,
                                                           const QString& stopText, int maximum)
{
    return std::make_unique<DialogProgress>(parent, title, stopText, maximum);
}

void QtUiService::preview(QWidget* parent, const QString& title, const QPageLayout& layout,
                          const std::function<void(QPagedPaintDevice&)>& paint, bool printable)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printPreview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* target) { paint(*target); });
    if (!printable) {
        // The dialog's own toolbar actions, known by their texts in Qt's translation (Qt's, not
        // the module's: the texts are looked up, not listed for translation here); a hidden
        // action cannot be triggered either.
        static const char* const Context = "QPrintPreviewDialog";
        QStringList printing;
        for (const char* text : {"Print", "Page setup"})
            printing << QCoreApplication::translate(Context, text);
        for (QAction* action : dialog.findChildren<QAction*>())
            if (printing.contains(action->text()))
                action->setVisible(false);
    }
    dialog.exec();
}

std::unique_ptr<QPagedPaintDevice> QtUiService::defaultPrinter(const QString& title, QString& printerName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setFullPage(true);
    printer->setDocName(title);
    printerName = info.printerName();
    return printer;
}

bool QtUiService::abortPrinter(QPagedPaintDevice& printer)
{
    // Only printers from defaultPrinter come here.
    return static_cast<QPrinter&>(printer).abort();
}

QFont QtUiService::desktopFont()
{
    QFont font = QGuiApplication::font();
    font.setFamilies({font.family(), QStringLiteral("WenQuanYi Micro Hei")});
    return font;
}

bool QtUiService::installChineseTranslations()
{
    // Kept for the process: the application holds translators by pointer.
    static QTranslator* const qt = new QTranslator(QCoreApplication::instance());
    static QTranslator* const own = new QTranslator(QCoreApplication::instance());
    // Each on its own: the module's texts, built into it, are Chinese even where Qt's are missing.
    static const bool ownLoaded =
        own->load(QStringLiteral(":/i18n/talor_zh_CN.qm")) && QCoreApplication::installTranslator(own);
    static const bool qtLoaded =
        qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(qt);
    return ownLoaded && qtLoaded;
}

} // namespace talor
