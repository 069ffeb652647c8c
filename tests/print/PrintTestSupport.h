#pragma once

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QStringList>

namespace talor::test {

// The PDF a print of this process goes to without a printer, as the operator is told it.
inline QString fallbackPdfName()
{
    return QStringLiteral("Tmp-%1.pdf").arg(QCoreApplication::applicationPid());
}

// The text of every page, as a reader copies it out of the PDF.
inline QStringList pdfPages(const QString& path)
{
    QStringList pages = runTool("pdftotext", {"-layout", path, "-"}).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Whether each text is found on a later page than the text before it: the reports of a batch
// each start on a new page, in order.
inline bool onPagesInOrder(const QStringList& pages, const QStringList& texts)
{
    qsizetype page = -1;
    for (const QString& text : texts) {
        do
            ++page;
        while (page < pages.size() && !pages[page].contains(text));
        if (page >= pages.size())
            return false;
    }
    return true;
}

} // namespace talor::test
