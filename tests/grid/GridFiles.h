#pragma once

// Helpers of the workbook file tests: whole files and members of a zipped Excel workbook.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace talor::grid::test {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline QByteArray unzipMember(const QString& zip, const QString& member)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", zip, member});
    EXPECT_TRUE(unzip.waitForFinished(30000));
    EXPECT_EQ(unzip.exitCode(), 0) << member.toStdString();
    return unzip.readAllStandardOutput();
}

} // namespace talor::grid::test
