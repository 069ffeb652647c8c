#pragma once

#include "ui/UiService.h"

#include <QBuffer>
#include <QDialog>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

namespace talor::test {

// The operator, scripted: each message box, file or colour dialog and modal dialog takes the
// next answer the test queued for it, and everything shown is recorded for the test to check.
// A dialog with no scripted handler is rejected at once (as if closed with its window box); a
// question with no queued answer fails the test loudly instead of hanging.
class ScriptedUi : public UiService
{
public:
    struct Shown
    {
        QString text, title;
        Buttons buttons;
    };

    std::vector<Shown> messages;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<quint32>> colours;
    std::vector<quint32> coloursOffered; // the colour each colour dialog opened with
    // Handlers for modal dialogs, in order: they may fill controls, click buttons, and return
    // the dialog's result (the dialog is not shown).
    std::deque<std::function<int(QDialog&)>> dialogs;
    QStringList dialogsShown; // objectName or class name of each dialog, in order
    QStringList fileFilters, fileDirectories, filePresets;
    // Documents handed to the desktop, and whether the desktop has a program for them.
    QStringList documentsOpened;
    bool desktopHasProgram = true;

    Answer message(QWidget*, const QString& text, Buttons buttons, const QString& title) override
    {
        messages.push_back({text, title, buttons});
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.empty())
            throw std::logic_error("unscripted question: " + text.toStdString());
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<QString> openFile(QWidget*, const QString& filter, const QString& directory,
                                    const QString& presetName) override
    {
        return nextFile(filter, directory, presetName);
    }
    std::optional<QString> saveFile(QWidget*, const QString& filter, const QString& directory,
                                    const QString& presetName) override
    {
        return nextFile(filter, directory, presetName);
    }

    std::optional<quint32> chooseColour(QWidget*, quint32 initial) override
    {
        coloursOffered.push_back(initial);
        if (colours.empty())
            throw std::logic_error("unscripted colour dialog");
        auto c = colours.front();
        colours.pop_front();
        return c;
    }

    int execDialog(QDialog& dialog) override
    {
        dialogsShown << (dialog.objectName().isEmpty() ? QString(dialog.metaObject()->className())
                                                       : dialog.objectName());
        if (dialogs.empty()) {
            dialog.reject();
            return QDialog::Rejected;
        }
        auto handler = std::move(dialogs.front());
        dialogs.pop_front();
        return handler(dialog);
    }

    bool openDocument(const QString& path) override
    {
        documentsOpened << path;
        return desktopHasProgram;
    }

    // Progress windows: each one shown, the labels they showed in order; the operator stops
    // the task at the next cancelled() once a test sets `stopProgress` (from a handler, say).
    int progressShown = 0;
    QStringList progressLabels;
    bool stopProgress = false;
    std::unique_ptr<Progress> progress(QWidget*, const QString&, const QString&, int) override
    {
        ++progressShown;
        return std::make_unique<ScriptedProgress>(*this);
    }

    // A print preview paints its pages into a PDF in memory (previewPages counts them), is
    // recorded as "printPreview" among the dialogs shown (previewPrintable: whether it offered
    // printing), then runs the next queued handler.
    int previewPages = -1;
    std::optional<bool> previewPrintable;
    std::deque<std::function<void()>> previews;
    void preview(QWidget*, const QString&, const QPageLayout& layout,
                 const std::function<void(QPagedPaintDevice&)>& paint, bool printable) override
    {
        dialogsShown << QStringLiteral("printPreview");
        previewPrintable = printable;
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&pdf);
            writer.setPageLayout(layout);
            paint(writer);
        }
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        previewPages = int(QString::fromLatin1(pdf.data()).count(page));
        if (!previews.empty()) {
            auto handler = std::move(previews.front());
            previews.pop_front();
            handler();
        }
    }

    // The tests run on machines without printers.
    std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString&, QString&) override { return nullptr; }

    QStringList messageTexts() const
    {
        QStringList out;
        for (const auto& m : messages)
            out << m.text;
        return out;
    }

private:
    class ScriptedProgress : public Progress
    {
    public:
        explicit ScriptedProgress(ScriptedUi& ui) : m_ui(ui) {}
        void setValue(int, const QString& label) override { m_ui.progressLabels << label; }
        bool cancelled() override { return m_ui.stopProgress; }

    private:
        ScriptedUi& m_ui;
    };

    std::optional<QString> nextFile(const QString& filter, const QString& directory,
                                    const QString& presetName)
    {
        fileFilters << filter;
        fileDirectories << directory;
        filePresets << presetName;
        if (files.empty())
            throw std::logic_error("unscripted file dialog");
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace talor::test
