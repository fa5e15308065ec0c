// The game's fixed-size picture on a screen of any size: placed as large as fits,
// centred, and scaled crisply. At an integer ratio every game pixel becomes a
// square block; at any other ratio each game pixel keeps at least one screen row
// and column of its own colour and an edge blurs over at most one screen pixel.
// Only rows that changed since the last frame are scaled again.
#pragma once

#include <cstdint>
#include <vector>

// Where the scaled picture lands on the screen; the rest are black bars.
struct PicturePlace {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PicturePlace&) const = default;
};

// One axis of the scaling: output pixel o shows source pixel first[o] blended
// with first[o] + 1 by weight[o] / 256 (0: source pixel first[o] alone).
struct ScaleAxis {
    std::vector<int32_t> first;
    std::vector<int32_t> weight;
    bool blends = false;  // false: every weight is 0, as at an integer ratio
};

// Output rows [top, bottom) of the picture that were scaled anew.
struct RowBand {
    int32_t top = 0;
    int32_t bottom = 0;
};

struct PictureScaler {
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    PicturePlace place;
    ScaleAxis columns;
    ScaleAxis rows;
    std::vector<uint32_t> lastSource;  // the picture last scaled, to find changed rows
    std::vector<uint8_t> sourceRowChanged;
    // Two source rows scaled across (in the target's layout), and which rows they are.
    std::vector<uint32_t> across[2];
    int32_t acrossRow[2] = {-1, -1};
    bool redrawAll = true;
};

PicturePlace FitPicture(int32_t sourceWidth, int32_t sourceHeight, int32_t screenWidth, int32_t screenHeight);

ScaleAxis MakeScaleAxis(int32_t sourceSize, int32_t outputSize);

// Along one axis of a placed picture (placeStart, placeSize on the screen, sourceSize
// game pixels): the game pixel under the middle of screen pixel `screen`. Beside
// the picture the answer lies beyond its first or last pixel.
int32_t SourceCoordinate(int32_t screen, int32_t placeStart, int32_t placeSize, int32_t sourceSize);

// Sets the scaler up for this picture and screen size; a change of either means
// the next frame is scaled whole.
void PrepareScaler(PictureScaler& scaler, int32_t sourceWidth, int32_t sourceHeight, int32_t screenWidth,
                   int32_t screenHeight);

// Scales what changed in `source` (sourceWidth x sourceHeight, MakeColour layout)
// into `target`, the picture's top-left pixel, `targetPitch` pixels a row; red and
// blue swapped when the target wants XRGB. Everything when redrawAll was set.
// Returns the bands of output rows written, top to bottom.
std::vector<RowBand> ScaleChangedRows(PictureScaler& scaler, const uint32_t* source, uint32_t* target,
                                      int32_t targetPitch, bool swapRedBlue);
