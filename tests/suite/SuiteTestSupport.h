#pragma once

// Small helpers of the suite tests.
#include "suite/SuiteServices.h"
#include "support/TestDatabases.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace talor::test {

inline QString writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(text.toUtf8());
    return path;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The message of the SuiteError that `call` throws; empty when it throws none.
template <typename Call> QString suiteError(Call call)
{
    ensureApplication();
    try {
        call();
    } catch (const SuiteError& error) {
        return error.message();
    }
    return {};
}

} // namespace talor::test
