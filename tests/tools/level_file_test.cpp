// The shipped level, read back from data/Level1.bmp: a file the loader accepts, and a
// landscape that can be played from the start view.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string LEVEL_PATH = std::string(KARNOLT_SOURCE_DIR) + "/data/Level1.bmp";

// Columns and rows whose nodes are on screen at the start (view offset -400, -400).
constexpr int VIEW_FIRST_COLUMN = 20;
constexpr int VIEW_LAST_COLUMN = 71;
constexpr int VIEW_FIRST_ROW = 20;
constexpr int VIEW_LAST_ROW = 58;
constexpr int LONGEST_BEAM_SQUARED = 90;

struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb&) const = default;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    const Rgb& At(int i, int j) const { return pixels[static_cast<std::size_t>(j * width + i)]; }
};

const Rgb WHITE = {255, 255, 255};
const Rgb BLACK = {0, 0, 0};

std::vector<uint8_t> ReadBytes() {
    std::ifstream file(LEVEL_PATH, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t Read32(const std::vector<uint8_t>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint32_t Read16(const std::vector<uint8_t>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8;
}

Picture Decode(const std::vector<uint8_t>& bytes) {
    Picture picture;
    picture.width = static_cast<int32_t>(Read32(bytes, 18));
    picture.height = static_cast<int32_t>(Read32(bytes, 22));
    const std::size_t offset = Read32(bytes, 10);
    const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * 3 + 3) / 4 * 4;
    picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
    for (int j = 0; j < picture.height; ++j) {
        const std::size_t row = offset + static_cast<std::size_t>(picture.height - 1 - j) * rowBytes;
        for (int i = 0; i < picture.width; ++i) {
            const std::size_t at = row + static_cast<std::size_t>(i) * 3;
            picture.pixels[static_cast<std::size_t>(j * picture.width + i)] = {bytes[at + 2], bytes[at + 1],
                                                                               bytes[at]};
        }
    }
    return picture;
}

struct Anchor {
    int i;
    int j;
};

std::vector<Anchor> FindAnchors(const Picture& picture) {
    std::vector<Anchor> anchors;
    for (int j = 0; j < picture.height; ++j) {
        for (int i = 0; i < picture.width; ++i) {
            if (picture.At(i, j) == WHITE) anchors.push_back({i, j});
        }
    }
    return anchors;
}

class LevelFile : public ::testing::Test {
protected:
    void SetUp() override {
        bytes = ReadBytes();
        ASSERT_GE(bytes.size(), 54u) << LEVEL_PATH << " is missing or truncated";
        const uint64_t rowBytes = (uint64_t{Read32(bytes, 18)} * 3 + 3) / 4 * 4;
        ASSERT_GE(bytes.size(), Read32(bytes, 10) + rowBytes * Read32(bytes, 22)) << "pixel rows cut short";
        picture = Decode(bytes);
    }
    std::vector<uint8_t> bytes;
    Picture picture;
};

TEST_F(LevelFile, HeaderHoldsWhatTheLoaderReads) {
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Read16(bytes, 28), 24u) << "bits per pixel";
    EXPECT_EQ(Read32(bytes, 30), 0u) << "compression";
    const auto width = static_cast<int32_t>(Read32(bytes, 18));
    const auto height = static_cast<int32_t>(Read32(bytes, 22));
    EXPECT_GE(width, 1);
    EXPECT_LE(width, 300);
    EXPECT_GE(height, 1) << "rows must be stored bottom-up";
    EXPECT_LE(height, 300);
    // The whole start view lies on the level, so no part of it is without background.
    EXPECT_GT(width, VIEW_LAST_COLUMN);
    EXPECT_GT(height, VIEW_LAST_ROW);
}

TEST_F(LevelFile, EveryAnchorIsOnScreenAtTheStart) {
    const std::vector<Anchor> anchors = FindAnchors(picture);
    ASSERT_FALSE(anchors.empty());
    for (const Anchor& a : anchors) {
        EXPECT_TRUE(a.i >= VIEW_FIRST_COLUMN && a.i <= VIEW_LAST_COLUMN && a.j >= VIEW_FIRST_ROW &&
                    a.j <= VIEW_LAST_ROW)
            << "anchor (" << a.i << ", " << a.j << ") is outside the start view";
    }
}

// A deck anchor lies on the surface: open (black) sky above it, earth below it.
TEST_F(LevelFile, BothBanksHaveDeckAnchorsTooFarApartForOneBeam) {
    const int middle = (VIEW_FIRST_COLUMN + VIEW_LAST_COLUMN) / 2;
    std::vector<Anchor> left;
    std::vector<Anchor> right;
    for (const Anchor& a : FindAnchors(picture)) {
        if (a.j == 0 || a.j + 1 >= picture.height) continue;
        if (!(picture.At(a.i, a.j - 1) == BLACK) || picture.At(a.i, a.j + 1) == BLACK) continue;
        (a.i < middle ? left : right).push_back(a);
    }
    ASSERT_GE(left.size(), 2u);
    ASSERT_GE(right.size(), 2u);
    for (const Anchor& a : left) {
        for (const Anchor& b : right) {
            const int dx = b.i - a.i;
            const int dy = b.j - a.j;
            EXPECT_GT(dx * dx + dy * dy, LONGEST_BEAM_SQUARED)
                << "one beam would bridge (" << a.i << ", " << a.j << ") to (" << b.i << ", " << b.j << ")";
        }
    }
}

// Black is transparent in the background; the upper part of the view is open sky to build in.
TEST_F(LevelFile, UpperStartViewIsOpenSky) {
    for (int j = VIEW_FIRST_ROW; j < VIEW_FIRST_ROW + 10; ++j) {
        for (int i = VIEW_FIRST_COLUMN; i <= VIEW_LAST_COLUMN; ++i) {
            ASSERT_EQ(picture.At(i, j), BLACK) << "pixel (" << i << ", " << j << ")";
        }
    }
}

}  // namespace
