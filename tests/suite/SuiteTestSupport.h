#pragma once

// Small helpers of the suite tests.
#include "suite/SuiteServices.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QString>
#include <gtest/gtest.h>

namespace talor::test {

// Writes `text` as the whole file and gives its path.
inline QString writeFile(const QString& path, const QString& text)
{
    putFile(path, text.toUtf8());
    return path;
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
