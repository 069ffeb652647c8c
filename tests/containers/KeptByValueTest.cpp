#include "containers/KeptByValue.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using talor::KeptByValue;

namespace {

// Keys that differ only in a trailing zero byte or in one byte inside, around the 4 and 16 bytes
// kept as words, many enough to regrow the table several times: each finds what was kept under it
// and nothing else.
TEST(KeptByValueTest, EveryKeyFindsItsOwnValue)
{
    std::vector<std::string> keys;
    for (const size_t size : {0, 1, 4, 7, 8, 9, 15, 16, 17, 40}) {
        keys.push_back(std::string(size, 'a'));
        keys.push_back(std::string(size, 'a').replace(size / 3, size > 0, "b"));
        keys.push_back(std::string(size, '\0'));
        for (int i = 0; i < 300; ++i) {
            std::string key(size, 'x');
            for (size_t b = 0; b < size; ++b)
                key[b] = char((i >> (b % 3 * 4)) + int(b));
            keys.push_back(key);
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    KeptByValue<int> kept;
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_EQ(kept.find(keys[i]), nullptr) << i;
        EXPECT_EQ(kept.add(keys[i], int(i)), int(i));
    }
    for (size_t i = keys.size(); i-- > 0;) {
        const int* found = kept.find(keys[i]);
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(*found, int(i));
    }
    // A copy and a moved table answer from their own entries, the long key found last too.
    KeptByValue<int> copy = kept;
    KeptByValue<int> moved = std::move(kept);
    kept.clear();
    EXPECT_EQ(kept.find(keys.front()), nullptr);
    EXPECT_EQ(kept.find(keys.back()), nullptr);
    moved.add(std::string(40, 'z'), -1);
    for (KeptByValue<int>* table : {&copy, &moved}) {
        const int* last = table->find(keys.back());
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(*last, int(keys.size() - 1));
    }
    EXPECT_EQ(copy.find(std::string(40, 'z')), nullptr);
}

} // namespace
