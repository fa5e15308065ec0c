// The HUD's texts in the compiled-in font are pinned by the reference frames; here
// their conversion to the font's Latin-1.
#include <gtest/gtest.h>

#include "platform/display.h"

TEST(Latin1Test, KeepsLatin1AndMarksTheRest) {
    // Beyond Latin-1, cut short.
    EXPECT_EQ(Latin1FromUtf8("Größe ß \xE2\x82\xAC a\xC3"), "Gr\xF6\xDF\x65 \xDF ? a?");
    // A broken sequence, overlong forms, a byte that never leads, four bytes.
    EXPECT_EQ(Latin1FromUtf8("\xC3(b\xC0\xAF\xE0\x80\xAF\xFF\xF0\x9F\x98\x80x"), "?(b?????x");
}
