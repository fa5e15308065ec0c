// Crisp scaling: in effect the picture is enlarged by nearest neighbour and then
// filtered down, with the blend between two neighbouring game pixels kept at most
// one screen pixel wide. Worked out per axis once per screen size, so that a frame
// costs a table look-up per pixel and a blend only on the few pixels at an edge.
#include "platform/screen/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t WEIGHT_ONE = 256;

inline uint32_t SwapRedBlue(uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// a and b mixed by weight / 256 of b, rounded, red-blue and green in two lanes.
inline uint32_t Blend(uint32_t a, uint32_t b, int32_t weight) {
    const auto wb = static_cast<uint32_t>(weight);
    const uint32_t wa = WEIGHT_ONE - wb;
    const uint32_t redBlue = (((a & 0xFF00FFu) * wa + (b & 0xFF00FFu) * wb + 0x800080u) >> 8) & 0xFF00FFu;
    const uint32_t green = (((a & 0xFF00u) * wa + (b & 0xFF00u) * wb + 0x8000u) >> 8) & 0xFF00u;
    return redBlue | green;
}

// Blending is the same on every channel, so red and blue may be swapped before it.
template <bool SWAP>
void ScaleRow(const uint32_t* source, const ScaleAxis& columns, uint32_t* out) {
    const auto count = static_cast<int32_t>(columns.first.size());
    const int32_t* first = columns.first.data();
    const int32_t* weight = columns.weight.data();
    if (!columns.blends) {
        for (int32_t o = 0; o < count; ++o) out[o] = SWAP ? SwapRedBlue(source[first[o]]) : source[first[o]];
        return;
    }
    for (int32_t o = 0; o < count; ++o) {
        const uint32_t c =
            weight[o] == 0 ? source[first[o]] : Blend(source[first[o]], source[first[o] + 1], weight[o]);
        out[o] = SWAP ? SwapRedBlue(c) : c;
    }
}

void BlendRows(const uint32_t* upper, const uint32_t* lower, int32_t weight, int32_t count, uint32_t* out) {
    for (int32_t o = 0; o < count; ++o) out[o] = Blend(upper[o], lower[o], weight);
}

// The source row scaled across, from the two kept in the scaler when one of them
// is that row: each source row is scaled once a frame, however many screen rows
// show it.
const uint32_t* ScaledAcross(PictureScaler& scaler, const uint32_t* source, int32_t row, bool swapRedBlue) {
    for (int k = 0; k < 2; ++k) {
        if (scaler.acrossRow[k] == row) return scaler.across[k].data();
    }
    // Rows come in order, so the lower of the two is not needed again.
    const int k = scaler.acrossRow[0] < scaler.acrossRow[1] ? 0 : 1;
    const uint32_t* from = source + static_cast<std::size_t>(row) * scaler.sourceWidth;
    uint32_t* to = scaler.across[k].data();
    swapRedBlue ? ScaleRow<true>(from, scaler.columns, to) : ScaleRow<false>(from, scaler.columns, to);
    scaler.acrossRow[k] = row;
    return to;
}

}  // namespace

PicturePlace FitPicture(int32_t sourceWidth, int32_t sourceHeight, int32_t screenWidth,
                        int32_t screenHeight) {
    PicturePlace place;
    if (sourceWidth <= 0 || sourceHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return place;
    if (int64_t{screenWidth} * sourceHeight <= int64_t{screenHeight} * sourceWidth) {
        place.width = screenWidth;
        place.height = static_cast<int32_t>(int64_t{screenWidth} * sourceHeight / sourceWidth);
    } else {
        place.height = screenHeight;
        place.width = static_cast<int32_t>(int64_t{screenHeight} * sourceWidth / sourceHeight);
    }
    place.width = std::max(place.width, 1);
    place.height = std::max(place.height, 1);
    place.x = (screenWidth - place.width) / 2;
    place.y = (screenHeight - place.height) / 2;
    return place;
}

int32_t SourceCoordinate(int32_t screen, int32_t placeStart, int32_t placeSize, int32_t sourceSize) {
    if (placeSize <= 0) return 0;
    const int64_t numerator = (2 * (int64_t{screen} - placeStart) + 1) * sourceSize;
    const int64_t denominator = 2 * int64_t{placeSize};
    // Rounded down on both sides of the picture's start, not towards zero.
    const int64_t quotient = numerator / denominator - (numerator % denominator < 0 ? 1 : 0);
    return static_cast<int32_t>(std::clamp<int64_t>(quotient, INT32_MIN, INT32_MAX));
}

ScaleAxis MakeScaleAxis(int32_t sourceSize, int32_t outputSize) {
    ScaleAxis axis;
    if (sourceSize <= 0 || outputSize <= 0) return axis;
    axis.first.resize(static_cast<std::size_t>(outputSize));
    axis.weight.assign(static_cast<std::size_t>(outputSize), 0);
    if (outputSize % sourceSize == 0) {
        const int32_t factor = outputSize / sourceSize;
        for (int32_t o = 0; o < outputSize; ++o) axis.first[o] = o / factor;
        return axis;
    }
    const double scale = static_cast<double>(outputSize) / sourceSize;
    // The blend between two neighbours, in screen pixels: at most one, and at most
    // scale - 1, so that each game pixel keeps one whole screen pixel of its own.
    // Shrinking blends over a whole game pixel (plain bilinear).
    const double blend = scale > 1 ? std::min(1.0, scale - 1.0) : scale;
    const double half = std::min(0.5, blend / (2 * scale));  // in game pixels, either side of an edge
    for (int32_t o = 0; o < outputSize; ++o) {
        const double centre = (o + 0.5) / scale;
        const auto pixel = static_cast<int32_t>(std::floor(centre));
        const double offset = centre - pixel;
        int32_t first = pixel;
        double mix = 0;
        if (offset < half) {
            first = pixel - 1;
            mix = (offset + half) / (2 * half);
        } else if (offset > 1 - half) {
            mix = (offset - (1 - half)) / (2 * half);
        }
        auto weight = static_cast<int32_t>(std::lround(mix * WEIGHT_ONE));
        if (weight >= WEIGHT_ONE) {
            ++first;
            weight = 0;
        }
        if (first < 0) {
            first = 0;
            weight = 0;
        }
        if (first >= sourceSize - 1) {
            first = sourceSize - 1;
            weight = 0;
        }
        axis.first[o] = first;
        axis.weight[o] = weight;
        axis.blends = axis.blends || weight != 0;
    }
    return axis;
}

void PrepareScaler(PictureScaler& scaler, int32_t sourceWidth, int32_t sourceHeight, int32_t screenWidth,
                   int32_t screenHeight) {
    const PicturePlace place = FitPicture(sourceWidth, sourceHeight, screenWidth, screenHeight);
    if (scaler.sourceWidth == sourceWidth && scaler.sourceHeight == sourceHeight && scaler.place == place)
        return;
    scaler.sourceWidth = sourceWidth;
    scaler.sourceHeight = sourceHeight;
    scaler.place = place;
    scaler.columns = MakeScaleAxis(sourceWidth, place.width);
    scaler.rows = MakeScaleAxis(sourceHeight, place.height);
    scaler.lastSource.assign(static_cast<std::size_t>(sourceWidth) * sourceHeight, 0);
    scaler.sourceRowChanged.assign(static_cast<std::size_t>(sourceHeight), 1);
    for (std::vector<uint32_t>& row : scaler.across) row.assign(static_cast<std::size_t>(place.width), 0);
    scaler.redrawAll = true;
}

namespace {

void AddRowToBands(std::vector<RowBand>& bands, int32_t row) {
    if (!bands.empty() && bands.back().bottom == row) {
        bands.back().bottom = row + 1;
    } else {
        bands.push_back({row, row + 1});
    }
}

// Marks the rows of `source` that changed since the last call (all when redrawAll was
// set) and keeps a copy of them.
void MarkChangedRows(PictureScaler& scaler, const uint32_t* source) {
    const int32_t width = scaler.sourceWidth;
    if (width <= 0) return;
    // An idle game draws the same picture every frame: comparing rows is far
    // cheaper than scaling them and sending them to the screen again.
    const auto rowBytes = static_cast<std::size_t>(width) * sizeof(uint32_t);
    for (int32_t y = 0; y < scaler.sourceHeight; ++y) {
        const uint32_t* row = source + static_cast<std::size_t>(y) * width;
        uint32_t* last = scaler.lastSource.data() + static_cast<std::size_t>(y) * width;
        const bool changed = scaler.redrawAll || std::memcmp(row, last, rowBytes) != 0;
        if (changed) std::memcpy(last, row, rowBytes);
        scaler.sourceRowChanged[y] = changed ? 1 : 0;
    }
    scaler.redrawAll = false;
}

}  // namespace

std::vector<RowBand> ScaleChangedRows(PictureScaler& scaler, const uint32_t* source, uint32_t* target,
                                      int32_t targetPitch, bool swapRedBlue) {
    std::vector<RowBand> bands;
    if (scaler.sourceWidth <= 0 || scaler.place.height <= 0) return bands;
    MarkChangedRows(scaler, source);

    const int32_t outWidth = scaler.place.width;
    scaler.acrossRow[0] = -1;
    scaler.acrossRow[1] = -1;
    for (int32_t o = 0; o < scaler.place.height; ++o) {
        const int32_t first = scaler.rows.first[o];
        const int32_t weight = scaler.rows.weight[o];
        if (scaler.sourceRowChanged[first] == 0 && (weight == 0 || scaler.sourceRowChanged[first + 1] == 0)) {
            continue;
        }
        uint32_t* out = target + static_cast<std::ptrdiff_t>(o) * targetPitch;
        const uint32_t* upper = ScaledAcross(scaler, source, first, swapRedBlue);
        if (weight == 0) {
            std::memcpy(out, upper, static_cast<std::size_t>(outWidth) * sizeof(uint32_t));
        } else {
            BlendRows(upper, ScaledAcross(scaler, source, first + 1, swapRedBlue), weight, outWidth, out);
        }
        AddRowToBands(bands, o);
    }
    return bands;
}
