#include "tools/replay/output.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/game_state.h"
#include "core/world.h"
#include "editor/beams.h"
#include "editor/selection_frame.h"
#include "platform/headless.h"
#include "render/hud.h"

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int k = 0; k < size; ++k) bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

std::string WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return path + ": cannot be written: " + std::strerror(errno);
    const bool written = std::fwrite(data, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    return written && closed ? "" : path + ": cannot be written: " + std::strerror(errno);
}

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
    const int32_t width = HeadlessScreenWidth() > 0 ? HeadlessScreenWidth() : 1024;
    const int32_t height = HeadlessScreenHeight() > 0 ? HeadlessScreenHeight() : 768;
    const uint32_t* pixels =
        HeadlessPresentedPixels();  // nullptr: nothing presented yet, the screen is black
    const uint32_t rowBytes = static_cast<uint32_t>(width) * 3;  // 1024 * 3 needs no row padding
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes;
    bytes.reserve(54 + imageBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittleEndian(bytes, 54 + imageBytes, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 54, 4);
    PutLittleEndian(bytes, 40, 4);  // info header
    PutLittleEndian(bytes, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 24, 2);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, imageBytes, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    for (int32_t y = height - 1; y >= 0; --y) {  // bottom-up rows
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = pixels != nullptr ? pixels[static_cast<std::size_t>(y) * width + x] : 0u;
            bytes.push_back(static_cast<uint8_t>(colour >> 16));  // blue
            bytes.push_back(static_cast<uint8_t>(colour >> 8));   // green
            bytes.push_back(static_cast<uint8_t>(colour));        // red
        }
    }
    return WriteFile(path, bytes.data(), bytes.size());
}

std::string WriteStateJson(const std::string& path, int64_t framesRun) {
    std::string json = "{\n";
    const auto field = [&json](const char* name, const std::string& value) {
        json += std::string("  \"") + name + "\": " + value + ",\n";
    };
    const auto integer = [&field](const char* name, int64_t value) { field(name, std::to_string(value)); };
    integer("frame", framesRun);
    integer("simulationRunning", simulationRunning);
    integer("levelNumber", levelNumber);
    integer("gridWidth", gridWidth);
    integer("gridHeight", gridHeight);
    integer("pointerX", pointerX);
    integer("pointerY", pointerY);
    integer("viewOffsetX", viewOffsetX);
    integer("viewOffsetY", viewOffsetY);
    integer("button1Gesture", button1Gesture);
    integer("button2Gesture", button2Gesture);
    integer("cursorColumn", cursorColumn);
    integer("cursorRow", cursorRow);
    integer("placingBeam", placingBeam);
    integer("startColumn", startColumn);
    integer("startRow", startRow);
    integer("endColumn", endColumn);
    integer("endRow", endRow);
    integer("frameX1", frameX1);
    integer("frameY1", frameY1);
    integer("frameX2", frameX2);
    integer("frameY2", frameY2);
    integer("fps", lastFrameRate);
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
    return WriteFile(path, json.data(), json.size());
}
