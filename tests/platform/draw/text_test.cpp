// Labels in the compiled-in font: ink in the pen colour, the rest of each cell left
// alone (transparent text) or black, clipped at every edge.
#include <utility>
#include <vector>

#include "tests/platform/platform_test.h"

TEST_F(PlatformTest, TextInksItsCellsAndIsClippedAtEveryEdge) {
    constexpr uint32_t WHITE = MakeColour(255, 255, 255), GREY = MakeColour(60, 60, 60);
    constexpr int32_t WIDTH = 8 * 6, HEIGHT = 13;  // eight cells of the 6 x 13 font
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    SetPenColour(255, 255, 255);
    const auto drawAt = [](int32_t x, int32_t y) {
        ClearBackBuffer(60, 60, 60);
        SetTextCursor(x, y);
        DrawLabel("ABCDEFGH");
    };
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    drawAt(100, 100);
    const std::vector<uint32_t> reference = SettledBackBuffer().pixels;
    ASSERT_GT(std::count(reference.begin(), reference.end(), WHITE), 8 * 5);
    const std::pair<int32_t, int32_t> positions[] = {
        // clang-format off
        {100, 100}, {-17, 100}, {1000, 100}, {100, -6}, {100, 760}, {-5, 763}, {-2000000000, -5}, {2147483600, 100},
        // clang-format on
    };
    for (const int32_t flags : {DRAW_TRANSPARENT_TEXT, 0}) {
        SetDrawFlags(flags);
        for (const auto& [x0, y0] : positions) {
            drawAt(x0, y0);
            for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
                for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                    const int64_t dx = x - x0, dy = y - y0;
                    const bool inCell = dx >= 0 && dx < WIDTH && dy >= 0 && dy < HEIGHT;
                    const uint32_t cell = inCell ? reference[(100 + dy) * SCREEN_WIDTH + 100 + dx] : GREY;
                    ASSERT_EQ(Pixel(x, y), flags == 0 && inCell && cell == GREY ? 0u : cell)
                        << flags << ": " << x0 << "," << y0 << " pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(Latin1Test, KeepsLatin1AndMarksTheRest) {
    // Beyond Latin-1, cut short.
    EXPECT_EQ(Latin1FromUtf8("Größe ß \xE2\x82\xAC a\xC3"), "Gr\xF6\xDF\x65 \xDF ? a?");
    // A broken sequence, overlong forms, a byte that never leads, four bytes.
    EXPECT_EQ(Latin1FromUtf8("\xC3(b\xC0\xAF\xE0\x80\xAF\xFF\xF0\x9F\x98\x80x"), "?(b?????x");
}
