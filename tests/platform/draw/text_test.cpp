// Labels in the compiled-in font and the UTF-8 to Latin-1 conversion.
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, TransparentTextInksOnlyItsCellsAndIsClippedAtEveryEdge) {
    constexpr uint32_t WHITE = MakeColour(255, 255, 255), GREY = MakeColour(60, 60, 60);
    constexpr int32_t WIDTH = 8 * 6, HEIGHT = 13;  // eight cells of the 6 x 13 font
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    SetPenColour(255, 255, 255);
    const auto drawAt = [](int32_t x, int32_t y, std::string_view text) {
        ClearBackBuffer(60, 60, 60);
        SetTextCursor(x, y);
        DrawLabel(text);
        return backBuffer.pixels;
    };
    const std::vector<uint32_t> reference = drawAt(100, 100, "ABCDEFGH");
    ASSERT_GT(std::count(reference.begin(), reference.end(), WHITE), 8 * 5);
    for (const auto& [x0, y0] : {std::pair{100, 100},
                                 {-17, 100},
                                 {1000, 100},
                                 {100, -6},
                                 {100, 760},
                                 {-5, 763},
                                 {-2000000000, -5},
                                 {2147483600, 100}}) {
        drawAt(x0, y0, "ABCDEFGH");
        for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                const int64_t dx = x - x0, dy = y - y0;
                const bool inCell = dx >= 0 && dx < WIDTH && dy >= 0 && dy < HEIGHT;
                ASSERT_EQ(Pixel(x, y), inCell ? reference[(100 + dy) * SCREEN_WIDTH + 100 + dx] : GREY)
                    << x0 << "," << y0 << " pixel " << x << "," << y;
            }
        }
    }
    // Labels move the cursor on by their width: pieces make the whole.
    const std::vector<uint32_t> whole = drawAt(10, 10, "abc");
    drawAt(10, 10, "ab");
    DrawLabel("");
    DrawLabel("c");
    EXPECT_EQ(backBuffer.pixels, whole);
}

TEST(Latin1Test, KeepsLatin1AndMarksTheRest) {
    const struct {
        std::string utf8, latin1;
    } cases[] = {
        // clang-format off
        {"Größe Übung ß", "Gr\xF6\xDF" "e \xDC" "bung \xDF"}, {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"\xE2\x82\xAC", "?"}, {"\xF0\x9F\x98\x80!", "?!"},  // beyond Latin-1
        {"a\xC3", "a?"}, {"\xC3(b", "?(b"}, {"\xC0\xAF", "??"}, {"\xE0\x80\xAF", "?"}, {"\xFF", "?"},  // malformed
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(Latin1FromUtf8(c.utf8), c.latin1) << c.utf8;
}
