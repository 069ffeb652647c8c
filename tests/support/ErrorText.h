#pragma once

#include <QString>
#include <gtest/gtest.h>
#include <initializer_list>
#include <typeinfo>

namespace talor::test {

// The message of the error of type E (any error class with message()) that `call` throws; a
// test failure, and the empty text, when it throws none.
template <typename E, typename Call> QString errorText(Call&& call)
{
    try {
        call();
    } catch (const E& error) {
        return error.message();
    }
    ADD_FAILURE() << "no " << typeid(E).name() << " was thrown";
    return {};
}

// Passes when `text` holds every one of `parts`; the failure shows the text and what is missing.
inline ::testing::AssertionResult containsAll(const QString& text, std::initializer_list<QString> parts)
{
    for (const QString& part : parts)
        if (!text.contains(part))
            return ::testing::AssertionFailure()
                   << '"' << text.toStdString() << "\" lacks \"" << part.toStdString() << '"';
    return ::testing::AssertionSuccess();
}

} // namespace talor::test
