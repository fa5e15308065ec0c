// The one key table, by both kinds of key name: SDL's USB HID usages and the
// browser's KeyboardEvent.code.
#include "platform/input/key_table.h"

#include <gtest/gtest.h>

#include "platform/input.h"

namespace {

TEST(KeyTableTest, BothNamesOfAKeyGiveItsSetOneCode) {
    const struct {
        int32_t usage;
        const char* name;
        int32_t set1;
    } keys[] = {
        {0x29, "Escape", SCAN_ESCAPE}, {0x28, "Enter", SCAN_RETURN}, {0x4C, "Delete", SCAN_DELETE},
        {0x58, "NumpadEnter", 0x9C},   {0x04, "KeyA", 0x1E},         {0x45, "F12", 0x58},
        {0x31, "Backslash", 0x2B},     {0xE3, "MetaLeft", 0xDB},     {0x46, "PrintScreen", 0xB7},
    };
    for (const auto& key : keys) {
        EXPECT_EQ(Set1CodeOfUsage(key.usage), key.set1) << key.name;
        EXPECT_EQ(Set1CodeOfKeyName(key.name), key.set1) << key.name;
    }
    // A position browsers have no name for, and an older name of a position.
    EXPECT_EQ(Set1CodeOfUsage(0x32), 0x2B);
    EXPECT_EQ(Set1CodeOfKeyName("OSLeft"), 0xDB);
    for (const int32_t usage : {0, -1, 0x03, KEY_USAGE_LIMIT, KEY_USAGE_LIMIT + 1}) {
        EXPECT_EQ(Set1CodeOfUsage(usage), 0) << usage;
    }
    for (const char* name : {"", "Nonsense", "keya", "Enter "}) {
        EXPECT_EQ(Set1CodeOfKeyName(name), 0) << name;
    }
}

}  // namespace
