#include "containers/ShortVector.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using talor::ShortVector;

namespace {

std::vector<int> contents(const ShortVector<int>& v)
{
    return {v.begin(), v.end()};
}

TEST(ShortVector, InsertsErasesAndGrowsAsAVectorDoes)
{
    ShortVector<int> v;
    for (int i = 1; i <= 5; ++i)
        v.emplace_back() = i;
    *v.emplace(v.begin()) = 0;     // before the first
    *v.emplace(v.begin() + 3) = 9; // amid
    *v.emplace(v.end()) = 6;       // after the last
    EXPECT_EQ(contents(v), (std::vector<int>{0, 1, 2, 9, 3, 4, 5, 6}));
    EXPECT_EQ(*v.erase(v.begin() + 2, v.begin() + 4), 3);
    v.pop_back();
    EXPECT_EQ(contents(v), (std::vector<int>{0, 1, 3, 4, 5}));
    v.shrink_to_fit();
    EXPECT_EQ(v.capacity(), 5u);
    v.reserve(9);
    ShortVector<int> moved(std::move(v));
    EXPECT_EQ(std::tuple(v.empty(), contents(moved), moved.capacity()),
              std::tuple(true, std::vector<int>{0, 1, 3, 4, 5}, 9u));
    EXPECT_EQ(ShortVector<int>{}.emplace_back(), 0); // new values are made, not left as found
}

TEST(ShortVector, HoldsUpTo65535ValuesAndRefusesMore)
{
    ShortVector<int> v;
    for (size_t i = 0; i < ShortVector<int>::MaxSize; ++i)
        v.emplace_back() = int(i);
    EXPECT_THROW(v.emplace_back(), std::length_error);
    std::vector<int> expected(65535);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(contents(v), expected);
}

} // namespace
