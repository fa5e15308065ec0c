// Makes Level1.bmp: two earth banks with a river gorge between them, black sky above,
// white anchor pixels where a bridge can rest. Every run gives the same bytes: the
// noise is an integer hash of the pixel position and a fixed seed, and only plain
// float arithmetic (no library transcendentals) shapes the terrain.
//
//   karnolt-make-level OUTPUT.bmp
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/bmp_file.h"

namespace {

constexpr int LEVEL_WIDTH = 100;
constexpr int LEVEL_HEIGHT = 70;
constexpr uint32_t LEVEL_SEED = 0x4B41524Eu;

// One pixel per lattice cell; the game opens with columns 20..71 and rows 20..58 in view,
// so the gorge sits in the middle of that window.
constexpr int DECK_ROW = 40;           // top surface of both banks beside the gorge
constexpr int LEFT_EDGE_COLUMN = 38;   // last ground column of the left bank at the deck row
constexpr int RIGHT_EDGE_COLUMN = 57;  // first ground column of the right bank at the deck row
constexpr int WATER_ROW = 52;          // river surface
constexpr int PIER_COLUMN = 47;        // a rock standing in the river
constexpr int PIER_TOP_ROW = 48;
constexpr int FACE_ANCHOR_ROW = 46;  // anchors in the gorge walls, for arches and struts

struct Rgb {
    int r;
    int g;
    int b;
};

enum class Cell { SKY, GROUND, WATER, PIER };

struct Level {
    std::vector<Cell> cells;
    std::vector<Rgb> pixels;
    std::vector<bool> anchors;
};

int Index(int i, int j) {
    return j * LEVEL_WIDTH + i;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = LEVEL_SEED ^ (a * 0x9E3779B1u) ^ (b * 0x85EBCA77u) ^ (c * 0xC2B2AE3Du);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Uniform in [0, 1).
float Random01(uint32_t a, uint32_t b, uint32_t c) {
    return static_cast<float>(Hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

// Smooth noise along one axis, in [0, 1): random values at whole numbers, eased between.
float ValueNoise(float x, uint32_t channel) {
    const float cell = std::floor(x);
    const float t = x - cell;
    const float ease = t * t * (3.0f - 2.0f * t);
    const auto k = static_cast<uint32_t>(static_cast<int>(cell));
    const float a = Random01(k, channel, 0);
    const float b = Random01(k + 1, channel, 0);
    return a + (b - a) * ease;
}

int Floor(float x) {
    return static_cast<int>(std::floor(x));
}

float Clamp01(float x) {
    return std::min(1.0f, std::max(0.0f, x));
}

// 0 at `from`, 1 at `to`, eased in between.
float Ramp(float x, float from, float to) {
    const float t = Clamp01((x - from) / (to - from));
    return t * t * (3.0f - 2.0f * t);
}

// First ground row of column i (banks only).
int SurfaceRow(int i) {
    const float x = static_cast<float>(i);
    const float bumps = (ValueNoise(x / 5.0f, 1) - 0.5f) * 2.2f;
    if (i <= LEFT_EDGE_COLUMN) {
        // Flat shelf beside the gorge, rising gently towards the far left.
        const float rise = 4.0f * (1.0f - Ramp(x, 8.0f, 28.0f));
        const float roughness = 1.0f - Ramp(x, 24.0f, 30.0f);
        return DECK_ROW - Floor(rise + bumps * roughness + 0.5f);
    }
    // Flat shelf, then a hill whose foot shows at the right of the first view.
    const float hill = 7.0f * Ramp(x, 64.0f, 82.0f) - 3.0f * Ramp(x, 88.0f, 99.0f);
    const float roughness = Ramp(x, 62.0f, 68.0f);
    return DECK_ROW - Floor(hill + bumps * roughness + 0.5f);
}

// Last ground column of the left bank, first of the right bank, in row j at or below the deck.
// The walls lean back into the gorge towards the river bed.
int LeftWall(int j) {
    const float y = static_cast<float>(j);
    const float slope = std::max(0.0f, y - 44.0f) * 0.38f;
    const float jag = (ValueNoise(y / 2.5f, 2) - 0.5f) * 1.6f * Ramp(y, 42.0f, 46.0f);
    return LEFT_EDGE_COLUMN + Floor(slope + jag + 0.5f);
}

int RightWall(int j) {
    const float y = static_cast<float>(j);
    const float slope = std::max(0.0f, y - 43.0f) * 0.34f;
    const float jag = (ValueNoise(y / 2.5f, 3) - 0.5f) * 1.6f * Ramp(y, 42.0f, 46.0f);
    return RIGHT_EDGE_COLUMN - Floor(slope + jag + 0.5f);
}

// First row of the river bed in column i of the gorge.
int BedRow(int i) {
    const float x = static_cast<float>(i);
    return 61 + Floor((ValueNoise(x / 3.0f, 4) - 0.5f) * 2.5f + 0.5f);
}

// A rock stack in the river: flat top, widening towards the bed.
bool InPier(int i, int j) {
    if (j < PIER_TOP_ROW) return false;
    const int left = j < 52 ? 1 : (j < 56 ? 2 : 3);
    const int right = j < 51 ? 1 : (j < 55 ? 2 : 3);
    return i >= PIER_COLUMN - left && i <= PIER_COLUMN + right;
}

Cell Classify(int i, int j) {
    if (j < DECK_ROW) {
        const bool bank = i <= LEFT_EDGE_COLUMN || i >= RIGHT_EDGE_COLUMN;
        return bank && j >= SurfaceRow(i) ? Cell::GROUND : Cell::SKY;
    }
    if (i <= LeftWall(j) || i >= RightWall(j)) return Cell::GROUND;
    if (j >= BedRow(i)) return Cell::GROUND;
    if (InPier(i, j)) return Cell::PIER;
    return j >= WATER_ROW ? Cell::WATER : Cell::SKY;
}

Rgb Mix(Rgb a, Rgb b, float t) {
    const auto lerp = [t](int x, int y) { return x + Floor(static_cast<float>(y - x) * t + 0.5f); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

Rgb Shade(Rgb c, float factor) {
    const auto scale = [factor](int x) { return Floor(static_cast<float>(x) * factor + 0.5f); };
    return {scale(c.r), scale(c.g), scale(c.b)};
}

// Earth below the topsoil: tilted, wavy bands of ochre, clay and sand.
Rgb StratumColour(int i, int j) {
    // Bright, because the game shows the level at half opacity over black.
    static const Rgb BANDS[] = {
        {226, 164, 70},   // ochre
        {188, 124, 68},   // brown
        {206, 108, 60},   // red clay
        {234, 196, 118},  // sand
        {162, 106, 60},   // dark loam
        {214, 148, 84},   // light brown
    };
    constexpr int BAND_COUNT = sizeof(BANDS) / sizeof(BANDS[0]);
    const float x = static_cast<float>(i);
    const float depth = static_cast<float>(j) + (ValueNoise(x / 9.0f, 5) - 0.5f) * 3.0f - x * 0.06f;
    const float band = depth / 3.0f;
    const int k = Floor(band);
    const float within = band - static_cast<float>(k);
    const Rgb here = BANDS[Hash(static_cast<uint32_t>(k + 100), 6, 0) % BAND_COUNT];
    const Rgb next = BANDS[Hash(static_cast<uint32_t>(k + 101), 6, 0) % BAND_COUNT];
    // Soft band boundaries survive the twentyfold enlargement better than hard ones.
    return Mix(here, next, Ramp(within, 0.7f, 1.0f) * 0.5f);
}

Rgb GroundColour(const Level& level, int i, int j) {
    int depth = 0;
    while (j - depth - 1 >= 0 && level.cells[Index(i, j - depth - 1)] == Cell::GROUND) ++depth;
    const bool underWater = j - depth - 1 >= 0 && level.cells[Index(i, j - depth - 1)] == Cell::WATER;

    Rgb c = StratumColour(i, j);
    if (underWater) {
        const Rgb silt = {140, 124, 88};
        c = depth == 0 ? silt : Mix(silt, c, Ramp(static_cast<float>(depth), 0.0f, 3.0f));
    } else if (depth == 0 && j <= DECK_ROW) {
        c = {104, 196, 58};  // grass
    } else if (depth == 1 && j <= DECK_ROW + 1) {
        c = {136, 150, 64};  // roots
    } else if (depth <= 3) {
        c = Mix({156, 104, 58}, c, static_cast<float>(depth - 1) / 3.0f);  // topsoil
    }

    // Stones scattered through the earth.
    if (depth >= 3 && Random01(static_cast<uint32_t>(i), static_cast<uint32_t>(j), 7) < 0.035f) {
        c = Mix(c, {160, 150, 132}, 0.6f);
    }
    // The gorge walls lie in shadow: darken pixels that face open air or water sideways.
    const auto open = [&level](int x, int y) {
        return x >= 0 && x < LEVEL_WIDTH && level.cells[Index(x, y)] != Cell::GROUND;
    };
    if (j > DECK_ROW && (open(i - 1, j) || open(i + 1, j))) c = Shade(c, 0.82f);
    return c;
}

Rgb WaterColour(int i, int j) {
    if (j == WATER_ROW) {
        const float glint = Random01(static_cast<uint32_t>(i), 0, 8);
        return Mix({52, 98, 168}, {84, 136, 200}, glint * 0.6f);
    }
    const float deep = Ramp(static_cast<float>(j), WATER_ROW + 1.0f, 62.0f);
    return Mix({34, 66, 140}, {16, 32, 92}, deep);
}

Rgb PierColour(int i, int j) {
    if (j == PIER_TOP_ROW) return {96, 168, 62};  // moss
    const Rgb stone = Random01(static_cast<uint32_t>(i), static_cast<uint32_t>(j), 10) < 0.3f
                          ? Rgb{150, 140, 124}
                          : Rgb{168, 158, 140};
    // Lit from the left like the rest of the scene.
    return i > PIER_COLUMN ? Shade(stone, 0.78f) : (i < PIER_COLUMN ? stone : Shade(stone, 0.9f));
}

// Per-pixel grain: at twentyfold enlargement with bilinear filtering it reads as texture.
Rgb Grain(Rgb c, int i, int j) {
    const int d = static_cast<int>(Hash(static_cast<uint32_t>(i), static_cast<uint32_t>(j), 9) % 15) - 7;
    // Never black (transparent) and never pure white (an anchor).
    const auto clamp = [d](int x) { return std::min(250, std::max(8, x + d)); };
    return {clamp(c.r), clamp(c.g), clamp(c.b)};
}

void PlaceAnchors(Level& level) {
    const auto anchor = [&level](int i, int j) { level.anchors[Index(i, j)] = true; };
    // On the left shelf; node (i, j) sits on the top-left corner of pixel (i, j).
    for (int i : {LEFT_EDGE_COLUMN - 6, LEFT_EDGE_COLUMN - 3, LEFT_EDGE_COLUMN}) anchor(i, DECK_ROW);
    for (int i : {RIGHT_EDGE_COLUMN, RIGHT_EDGE_COLUMN + 3, RIGHT_EDGE_COLUMN + 6}) anchor(i, DECK_ROW);
    anchor(LeftWall(FACE_ANCHOR_ROW), FACE_ANCHOR_ROW);
    anchor(RightWall(FACE_ANCHOR_ROW), FACE_ANCHOR_ROW);
    anchor(PIER_COLUMN, PIER_TOP_ROW);
}

Level MakeLevel() {
    Level level;
    level.cells.resize(LEVEL_WIDTH * LEVEL_HEIGHT);
    level.pixels.resize(LEVEL_WIDTH * LEVEL_HEIGHT);
    level.anchors.resize(LEVEL_WIDTH * LEVEL_HEIGHT);
    for (int j = 0; j < LEVEL_HEIGHT; ++j) {
        for (int i = 0; i < LEVEL_WIDTH; ++i) level.cells[Index(i, j)] = Classify(i, j);
    }
    PlaceAnchors(level);
    for (int j = 0; j < LEVEL_HEIGHT; ++j) {
        for (int i = 0; i < LEVEL_WIDTH; ++i) {
            const int k = Index(i, j);
            switch (level.cells[k]) {
                case Cell::SKY:
                    level.pixels[k] = {0, 0, 0};
                    break;  // transparent: the grid shows
                case Cell::GROUND:
                    level.pixels[k] = Grain(GroundColour(level, i, j), i, j);
                    break;
                case Cell::WATER:
                    level.pixels[k] = Grain(WaterColour(i, j), i, j);
                    break;
                case Cell::PIER:
                    level.pixels[k] = Grain(PierColour(i, j), i, j);
                    break;
            }
            if (level.anchors[k]) level.pixels[k] = {255, 255, 255};
        }
    }
    return level;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: karnolt-make-level OUTPUT.bmp\n");
        return 2;
    }
    const Level level = MakeLevel();
    const std::vector<uint8_t> bytes =
        EncodeBmp(LEVEL_WIDTH, LEVEL_HEIGHT, 24, [&level](int32_t i, int32_t j) {
            const Rgb& c = level.pixels[Index(i, j)];
            return static_cast<uint32_t>(c.r | c.g << 8 | c.b << 16);
        });
    const std::string error = WriteBinaryFile(argv[1], bytes);
    if (!error.empty()) {
        std::fprintf(stderr, "karnolt-make-level: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
