#pragma once

// Helpers of the workbook file tests: whole files and members of a zipped Excel workbook.
#include "support/TestFiles.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace talor::grid::test {

using talor::test::fileBytes;
using talor::test::putFile;

inline QByteArray unzipMember(const QString& zip, const QString& member)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", zip, member});
    EXPECT_TRUE(unzip.waitForFinished(30000));
    EXPECT_EQ(unzip.exitCode(), 0) << member.toStdString();
    return unzip.readAllStandardOutput();
}

} // namespace talor::grid::test
