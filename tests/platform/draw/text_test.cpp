// Labels in the compiled-in font and the UTF-8 to Latin-1 conversion.
#include "draw_fixture.h"

namespace {

constexpr uint32_t WHITE = MakeColour(255, 255, 255);
constexpr uint32_t BLUE = MakeColour(0, 0, 255);
constexpr uint32_t GREY = MakeColour(60, 60, 60);

// The ink of one label drawn transparently at (x, y), as a string of '#' and '.'
// over the given box.
std::string InkPattern(std::string_view text, int32_t x, int32_t y, int32_t width, int32_t height) {
    ClearBackBuffer(60, 60, 60);
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    SetPenColour(255, 255, 255);
    SetTextCursor(x, y);
    DrawLabel(text);
    std::string pattern;
    for (int32_t row = y; row < y + height; ++row) {
        for (int32_t column = x; column < x + width; ++column) {
            pattern += ReadPixel(column, row) == WHITE ? '#' : '.';
        }
    }
    return pattern;
}

}  // namespace

TEST_F(DrawTest, TransparentTextLeavesThePixelsBetweenGlyphsAlone) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const std::string text = Latin1FromUtf8("Verbindung zwischen Trägern");
    ASSERT_EQ(text.size(), 27u);
    InkPattern(text, 830, 100, 1, 1);
    int64_t ink = 0;
    for (int32_t y = 0; y < 768; ++y) {
        for (int32_t x = 0; x < 1024; ++x) {
            const uint32_t p = Pixel(x, y);
            ASSERT_TRUE(p == GREY || p == WHITE);
            if (p == WHITE) {
                ++ink;
                // Within the label's cells, which fit a 20-pixel row and end before x = 1024.
                ASSERT_GE(x, 830);
                ASSERT_LT(x, 1024);
                ASSERT_GE(y, 100);
                ASSERT_LT(y, 120);
            }
        }
    }
    EXPECT_GT(ink, 27 * 5);
}

TEST_F(DrawTest, OpaqueTextStandsOnABlackBox) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    ClearBackBuffer(60, 60, 60);
    SetPenColour(0, 0, 255);
    SetTextCursor(200, 300);
    DrawLabel("Hallo");
    int32_t left = 1024, right = -1, top = 768, bottom = -1;
    int64_t ink = 0, box = 0;
    for (int32_t y = 0; y < 768; ++y) {
        for (int32_t x = 0; x < 1024; ++x) {
            const uint32_t p = Pixel(x, y);
            if (p != GREY) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                ink += p == BLUE ? 1 : 0;
                box += p == 0u ? 1 : 0;
            }
        }
    }
    // The box is the whole text cell: five glyphs wide, one line high, at the cursor.
    EXPECT_EQ(left, 200);
    EXPECT_EQ(top, 300);
    const int32_t glyphWidth = (right - left + 1) / 5;
    EXPECT_EQ((right - left + 1) % 5, 0);
    EXPECT_GE(glyphWidth, 5);
    EXPECT_LE(glyphWidth, 7);
    EXPECT_LE(bottom - top + 1, 20);
    EXPECT_EQ(ink + box, int64_t{right - left + 1} * (bottom - top + 1));
    EXPECT_GT(ink, 0);
    EXPECT_GT(box, ink);
}

TEST_F(DrawTest, LabelsAdvanceTheCursorByTheirWidth) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const std::string whole = InkPattern("abc", 10, 10, 40, 15);
    ClearBackBuffer(60, 60, 60);
    SetTextCursor(10, 10);
    DrawLabel("ab");
    DrawLabel("");
    DrawLabel("c");
    std::string pieces;
    for (int32_t row = 10; row < 25; ++row) {
        for (int32_t column = 10; column < 50; ++column) {
            pieces += ReadPixel(column, row) == WHITE ? '#' : '.';
        }
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_NE(whole.find('#'), std::string::npos);
}

TEST_F(DrawTest, GermanLettersHaveTheirOwnGlyphs) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const struct {
        const char* umlaut;
        const char* plain;
    } pairs[] = {{"ä", "a"}, {"ö", "o"}, {"ü", "u"}, {"Ä", "A"}, {"Ö", "O"}, {"Ü", "U"}, {"ß", "B"}};
    for (const auto& pair : pairs) {
        const std::string latin1 = Latin1FromUtf8(pair.umlaut);
        ASSERT_EQ(latin1.size(), 1u);
        const std::string umlaut = InkPattern(latin1, 100, 100, 7, 20);
        const std::string plain = InkPattern(pair.plain, 100, 100, 7, 20);
        EXPECT_NE(umlaut.find('#'), std::string::npos) << pair.umlaut;
        EXPECT_NE(umlaut, plain) << pair.umlaut;
    }
}

TEST_F(DrawTest, TextIsClippedAtEveryEdge) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    // The label's cells drawn well inside the buffer are the reference for every edge.
    constexpr int32_t WIDTH = 8 * 6, HEIGHT = 13;
    const std::string reference = InkPattern("ABCDEFGH", 100, 100, WIDTH, HEIGHT);
    ASSERT_NE(reference.find('#'), std::string::npos);
    const struct {
        int32_t x, y;
    } positions[] = {{-17, 100}, {1000, 100},       {100, -6},        {100, 760},
                     {-5, 763},  {-2000000000, -5}, {2147483600, 100}};
    for (const auto& at : positions) {
        InkPattern("ABCDEFGH", at.x, at.y, 0, 0);
        for (int32_t y = 0; y < 768; ++y) {
            for (int32_t x = 0; x < 1024; ++x) {
                const int64_t dx = int64_t{x} - at.x, dy = int64_t{y} - at.y;
                const bool inCell = dx >= 0 && dx < WIDTH && dy >= 0 && dy < HEIGHT;
                const bool ink = inCell && reference[static_cast<std::size_t>(dy * WIDTH + dx)] == '#';
                ASSERT_EQ(Pixel(x, y) == WHITE, ink) << at.x << "," << at.y << " pixel " << x << "," << y;
            }
        }
    }
}

TEST_F(DrawTest, Latin1FromUtf8KeepsLatin1AndMarksTheRest) {
    const struct {
        std::string utf8;
        std::string latin1;
    } cases[] = {
        {"Träger", "Tr\xE4ger"},
        {"Größe Übung ß",
         "Gr\xF6\xDF"
         "e \xDC"
         "bung \xDF"},
        {"plain", "plain"},
        {"\xE2\x82\xAC", "?"},        // euro sign, beyond Latin-1
        {"a\xC3", "a?"},              // cut short
        {"\xC3(b", "?(b"},            // broken continuation
        {"\xC0\xAF", "??"},           // overlong
        {"\xE0\x80\xAF", "?"},        // overlong three-byte form
        {"\xFF", "?"},                // never a lead byte
        {"\xF0\x9F\x98\x80!", "?!"},  // four bytes
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Latin1FromUtf8(c.utf8), c.latin1) << c.utf8;
    }
}
