#pragma once

#include "ui/UiService.h"

#include <QPagedPaintDevice>
#include <cstdio>

// The operator of the screenshot tools: messages go to stderr, and nobody is there to answer.
class PrintingUi : public talor::UiService
{
public:
    Answer message(QWidget*, const QString& text, Buttons, const QString&) override
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return Answer::Ok;
    }
    std::optional<QString> openFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<quint32> chooseColour(QWidget*, quint32) override { return {}; }
    int execDialog(QDialog&) override { return 0; }
    bool openDocument(const QString&) override { return false; }
    std::unique_ptr<Progress> progress(QWidget*, const QString&, const QString&, int) override
    {
        return nullptr;
    }
    void preview(QWidget*, const QString&, const QPageLayout&, const std::function<void(QPagedPaintDevice&)>&,
                 bool) override
    {}
    std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString&, QString&) override { return nullptr; }
};
