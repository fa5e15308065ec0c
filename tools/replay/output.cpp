#include "tools/replay/output.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "model/game_state.h"
#include "model/world.h"
#include "platform/headless.h"
#include "tools/bmp_file.h"

namespace {

// Floats are written so that they read back as the same float32.
std::string JsonFloat(float value) {
    if (std::isnan(value)) return "\"nan\"";
    if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

}  // namespace

std::string WriteScreenshot(const std::string& path) {
    const int32_t width = HeadlessScreenWidth() > 0 ? HeadlessScreenWidth() : SCREEN_WIDTH;
    const int32_t height = HeadlessScreenHeight() > 0 ? HeadlessScreenHeight() : SCREEN_HEIGHT;
    // Nothing presented yet: the screen is black.
    const uint32_t* pixels = HeadlessPresentedPixels();
    return WriteBinaryFile(path, EncodeBmp(width, height, 24, [&](int32_t x, int32_t y) {
                               return pixels != nullptr ? pixels[static_cast<std::size_t>(y) * width + x]
                                                        : 0u;
                           }));
}

std::string WriteStateJson(const std::string& path, int64_t framesRun) {
    std::string json = "{\n";
    const auto field = [&json](const char* name, const std::string& value) {
        json += std::string("  \"") + name + "\": " + value + ",\n";
    };
    const auto integer = [&field](const char* name, int64_t value) { field(name, std::to_string(value)); };
    integer("frame", framesRun);
    integer("simulationRunning", game.simulationRunning);
    integer("levelNumber", game.levelNumber);
    integer("gridWidth", gridWidth);
    integer("gridHeight", gridHeight);
    integer("pointerX", editor.pointerX);
    integer("pointerY", editor.pointerY);
    integer("viewOffsetX", editor.viewOffsetX);
    integer("viewOffsetY", editor.viewOffsetY);
    integer("button1Gesture", editor.button1Gesture);
    integer("button2Gesture", editor.button2Gesture);
    integer("cursorColumn", editor.cursorColumn);
    integer("cursorRow", editor.cursorRow);
    integer("placingBeam", editor.placingBeam);
    integer("startColumn", editor.startColumn);
    integer("startRow", editor.startRow);
    integer("endColumn", editor.endColumn);
    integer("endRow", editor.endRow);
    integer("frameX1", editor.frameX1);
    integer("frameY1", editor.frameY1);
    integer("frameX2", editor.frameX2);
    integer("frameY2", editor.frameY2);
    integer("fps", fpsMeter.lastFrameRate);
    integer("beamCount", CountBeams());

    json += "  \"nodes\": [";
    const char* separator = "\n";
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            const Node& n = NodeAt(i, j);
            const bool atRest = n.x == RestX(i) && n.y == RestY(j) && n.vx == 0.0f && n.vy == 0.0f;
            if (n.kind == NODE_EMPTY && atRest) continue;
            json += separator;
            json += "    {\"i\": " + std::to_string(i) + ", \"j\": " + std::to_string(j) +
                    ", \"kind\": " + std::to_string(n.kind) + ", \"x\": " + JsonFloat(n.x) +
                    ", \"y\": " + JsonFloat(n.y) + ", \"vx\": " + JsonFloat(n.vx) +
                    ", \"vy\": " + JsonFloat(n.vy) + "}";
            separator = ",\n";
        }
    }
    json += "\n  ],\n  \"beams\": [";
    separator = "\n";
    for (const Beam& beam : beamList) {
        json += separator;
        json += "    {\"ax\": " + std::to_string(beam.ax) + ", \"ay\": " + std::to_string(beam.ay) +
                ", \"bx\": " + std::to_string(beam.bx) + ", \"by\": " + std::to_string(beam.by) +
                ", \"loadFactor\": " + JsonFloat(beam.loadFactor) +
                ", \"intact\": " + std::to_string(beam.intact) + "}";
        separator = ",\n";
    }
    json += "\n  ]\n}\n";
    return WriteBinaryFile(path, std::vector<uint8_t>(json.begin(), json.end()));
}
