#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

#include "model/game_state.h"
#include "model/world.h"
#include "tests/soak/soak.h"

namespace {

uint32_t ReadLittle(const std::vector<uint8_t>& bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k) value = value << 8 | bytes[at + static_cast<std::size_t>(k)];
    return value;
}

std::string NodeName(int32_t i, int32_t j) {
    char name[32];
    std::snprintf(name, sizeof name, "(%d, %d)", i, j);
    return name;
}

}  // namespace

std::set<NodeIndex> ReadLevelAnchors(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.is_open() && bytes.empty()) {
        error = path + ": cannot be opened";
        return {};
    }
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        error = path + ": not a bitmap";
        return {};
    }
    const uint32_t dataOffset = ReadLittle(bytes, 10, 4);
    const auto width = static_cast<int32_t>(ReadLittle(bytes, 18, 4));
    const auto rawHeight = static_cast<int32_t>(ReadLittle(bytes, 22, 4));
    const uint32_t bits = ReadLittle(bytes, 28, 2);
    const uint32_t compression = ReadLittle(bytes, 30, 4);
    const int32_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if ((bits != 24 && bits != 32) || (compression != 0 && !(bits == 32 && compression == 3)) || width <= 0 ||
        width > 300 || height <= 0 || height > 300) {
        error = path + ": the soak reads only uncompressed 24- and 32-bit levels up to 300 x 300";
        return {};
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3};
    if (dataOffset + rowBytes * static_cast<std::size_t>(height) > bytes.size()) {
        error = path + ": pixel data cut short";
        return {};
    }
    std::set<NodeIndex> anchors;
    for (int32_t y = 0; y < height; ++y) {
        const int32_t stored = rawHeight < 0 ? y : height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            const std::size_t at = dataOffset + static_cast<std::size_t>(stored) * rowBytes +
                                   static_cast<std::size_t>(x) * (bits / 8);
            if (bytes[at] == 255 && bytes[at + 1] == 255 && bytes[at + 2] == 255) anchors.insert({x, y});
        }
    }
    return anchors;
}

std::string CheckWorld(const std::set<NodeIndex>& levelAnchors) {
    std::set<std::pair<NodeIndex, NodeIndex>> joined;
    for (std::size_t k = 0; k < beamList.size(); ++k) {
        const Beam& beam = beamList[k];
        const std::string name =
            "beam " + std::to_string(k) + " " + NodeName(beam.ax, beam.ay) + "-" + NodeName(beam.bx, beam.by);
        if (!IsInUseNode(beam.ax, beam.ay) || !IsInUseNode(beam.bx, beam.by))
            return name + " leaves the grid";
        if (beam.ax == beam.bx && beam.ay == beam.by) return name + " joins a node to itself";
        // End B is made a joint when the beam is added and every beam of a joint goes
        // with it. End A may be empty: a chain goes on from its start node even when
        // the bulk deletion has emptied that node meanwhile.
        if (NodeAt(beam.bx, beam.by).kind == NODE_EMPTY) return name + " ends (B) on an empty node";
        const NodeIndex a{beam.ax, beam.ay};
        const NodeIndex b{beam.bx, beam.by};
        if (!joined.insert(a < b ? std::pair{a, b} : std::pair{b, a}).second)
            return name + " joins a pair twice";
        if (game.simulationRunning == 0 && beam.intact == 0) return name + " is broken while stopped";
        if (game.simulationRunning == 0 && beam.intact != 0 && beam.loadFactor != 1.0f) {
            return name + " has load factor " + std::to_string(beam.loadFactor) + " while stopped";
        }
    }
    for (int32_t i = 0; i < GRID_NODES; ++i) {
        for (int32_t j = 0; j < GRID_NODES; ++j) {
            const Node& n = NodeAt(i, j);
            const bool levelAnchor = levelAnchors.count({i, j}) != 0;
            if ((n.kind == NODE_ANCHOR) != levelAnchor) {
                return "node " + NodeName(i, j) + (levelAnchor ? " lost its anchor" : " became an anchor");
            }
            if (!IsInUseNode(i, j)) continue;
            if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.vx) || !std::isfinite(n.vy)) {
                return "node " + NodeName(i, j) + " has a position or velocity that is not a finite number";
            }
            if (game.simulationRunning == 0 &&
                (n.x != RestX(i) || n.y != RestY(j) || n.vx != 0 || n.vy != 0)) {
                char line[160];
                std::snprintf(line, sizeof line, "is not at rest while stopped: (%g, %g) moving (%g, %g)",
                              n.x, n.y, n.vx, n.vy);
                return "node " + NodeName(i, j) + " " + line;
            }
        }
    }
    return "";
}
