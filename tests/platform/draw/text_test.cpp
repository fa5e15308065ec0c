// Labels in the compiled-in font and the UTF-8 to Latin-1 conversion.
#include "tests/platform/platform_test.h"

namespace {

constexpr uint32_t WHITE = MakeColour(255, 255, 255);
constexpr uint32_t GREY = MakeColour(60, 60, 60);
constexpr int32_t CELL_WIDTH = 6, CELL_HEIGHT = 13;

std::string ReadInk(int32_t x, int32_t y, int32_t width, int32_t height) {
    std::string pattern;
    for (int32_t row = y; row < y + height; ++row) {
        for (int32_t column = x; column < x + width; ++column) {
            pattern += ReadPixel(column, row) == WHITE ? '#' : '.';
        }
    }
    return pattern;
}

// Draws the label transparently in white on grey at (x, y); returns its ink over
// the given box as '#' and '.'.
std::string InkPattern(std::string_view text, int32_t x, int32_t y, int32_t width, int32_t height) {
    ClearBackBuffer(60, 60, 60);
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    SetPenColour(255, 255, 255);
    SetTextCursor(x, y);
    DrawLabel(text);
    return ReadInk(x, y, width, height);
}

}  // namespace

TEST_F(PlatformTest, TransparentTextInksOnlyItsCellsAndIsClippedAtEveryEdge) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    const std::string text = "ABCDEFGH";
    const int32_t width = CELL_WIDTH * static_cast<int32_t>(text.size());
    const std::string reference = InkPattern(text, 100, 100, width, CELL_HEIGHT);
    ASSERT_GT(std::count(reference.begin(), reference.end(), '#'), 8 * 5);
    const struct {
        int32_t x, y;
    } positions[] = {{100, 100}, {-17, 100}, {1000, 100},       {100, -6},
                     {100, 760}, {-5, 763},  {-2000000000, -5}, {2147483600, 100}};
    for (const auto& at : positions) {
        InkPattern(text, at.x, at.y, 0, 0);
        for (int64_t y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int64_t x = 0; x < SCREEN_WIDTH; ++x) {
                const int64_t dx = x - at.x, dy = y - at.y;
                const bool inCell = dx >= 0 && dx < width && dy >= 0 && dy < CELL_HEIGHT;
                const bool ink = inCell && reference[static_cast<std::size_t>(dy * width + dx)] == '#';
                ASSERT_EQ(Pixel(x, y), ink ? WHITE : GREY)
                    << at.x << "," << at.y << " pixel " << x << "," << y;
            }
        }
    }
    // Labels move the cursor on by their width: pieces make the whole.
    const std::string whole = InkPattern("abc", 10, 10, 40, 15);
    InkPattern("ab", 10, 10, 0, 0);
    DrawLabel("");
    DrawLabel("c");
    EXPECT_EQ(ReadInk(10, 10, 40, 15), whole);
}

TEST_F(PlatformTest, GermanLettersHaveTheirOwnGlyphs) {
    ASSERT_NE(BeginDraw(BackBufferTarget()), 0);
    for (const auto& [umlaut, plain] :
         {std::pair{"ä", "a"}, {"ö", "o"}, {"ü", "u"}, {"Ä", "A"}, {"Ö", "O"}, {"Ü", "U"}, {"ß", "B"}}) {
        const std::string latin1 = Latin1FromUtf8(umlaut);
        ASSERT_EQ(latin1.size(), 1u);
        const std::string ink = InkPattern(latin1, 100, 100, CELL_WIDTH, CELL_HEIGHT);
        EXPECT_NE(ink.find('#'), std::string::npos) << umlaut;
        EXPECT_NE(ink, InkPattern(plain, 100, 100, CELL_WIDTH, CELL_HEIGHT)) << umlaut;
    }
}

TEST(Latin1Test, KeepsLatin1AndMarksTheRest) {
    const struct {
        std::string utf8, latin1;
    } cases[] = {
        {"Größe Übung ß",
         "Gr\xF6\xDF"
         "e \xDC"
         "bung \xDF"},
        {"\xE2\x82\xAC", "?"},        // euro sign, beyond Latin-1
        {"a\xC3", "a?"},              // cut short
        {"\xC3(b", "?(b"},            // broken continuation
        {"\xC0\xAF", "??"},           // overlong
        {"\xE0\x80\xAF", "?"},        // overlong three-byte form
        {"\xFF", "?"},                // never a lead byte
        {"\xF0\x9F\x98\x80!", "?!"},  // four bytes
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(Latin1FromUtf8(c.utf8), c.latin1) << c.utf8;
}
