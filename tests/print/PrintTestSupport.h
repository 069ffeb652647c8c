#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace talor::test {

// Standard output of a helper program (pdftotext, pdfinfo, unzip), which must succeed.
inline QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
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

inline QString pdfInfo(const QString& path)
{
    return runTool("pdfinfo", {path});
}

inline QString unzipMember(const QString& zip, const QString& member)
{
    return runTool("unzip", {"-p", zip, member});
}

} // namespace talor::test
