#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace talor::test {

// The whole file; a test failure (and nothing) when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Makes `bytes` the whole file; a test failure when it cannot be written.
inline void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

// Standard output of a helper program (pdftotext, pdfinfo, unzip), which must succeed.
inline QByteArray toolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << " " << arguments.join(u' ').toStdString();
    return process.readAllStandardOutput();
}

inline QString runTool(const QString& program, const QStringList& arguments)
{
    return QString::fromUtf8(toolOutput(program, arguments));
}

// One member of a zipped file (an Excel workbook), as bytes.
inline QByteArray unzipMember(const QString& zip, const QString& member)
{
    return toolOutput(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
}

} // namespace talor::test
