// The world: a fixed lattice of nodes and the ordered list of beams between them.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int32_t NODE_EMPTY = 0;
inline constexpr int32_t NODE_JOINT = 1;
inline constexpr int32_t NODE_ANCHOR = 2;

// Pixels between two neighbouring nodes, in integer and in float arithmetic.
inline constexpr int32_t GRID_SPACING_PIXELS = 20;
inline constexpr float GRID_SPACING = static_cast<float>(GRID_SPACING_PIXELS);
inline constexpr int32_t GRID_CAPACITY = 300;
inline constexpr int32_t GRID_NODES = GRID_CAPACITY + 1;  // nodes per column and per row

struct Node {
    int32_t kind;
    float x;
    float y;
    float vx;
    float vy;
};

// Indexed [column][row]. Lives in static storage: allocated once for the whole run.
struct NodeGrid {
    Node nodes[GRID_NODES][GRID_NODES];
};

struct Beam {
    int32_t ax;
    int32_t ay;
    int32_t bx;
    int32_t by;
    float loadFactor;  // (rest length / current length)^20: 1 unloaded, > 1 compressed, < 1 stretched
    int32_t intact;    // 0 once broken
};

// Oldest first; a later beam is drawn over an earlier one.
using BeamList = std::vector<Beam>;

extern NodeGrid nodeGrid;
extern BeamList beamList;
// Highest column and row index in use (CreateWorld).
extern int32_t gridWidth;
extern int32_t gridHeight;

// An empty world at rest whose in-use nodes are columns 0..width and rows 0..height
// (the level's size; the whole grid by default). No code reads a node beyond them, so
// those are left as they were: a level touches only the memory it uses, and fresh
// memory costs a page fault on its first touch.
void CreateWorld(int32_t width = GRID_CAPACITY, int32_t height = GRID_CAPACITY);

// Defined for 0 <= i <= gridWidth, 0 <= j <= gridHeight. Outside that the lookup is
// folded into the grid, so a wrong index never touches foreign memory.
inline Node& NodeAt(int32_t i, int32_t j) {
    const auto fold = [](int32_t k) { return k < 0 ? 0 : (k > GRID_CAPACITY ? GRID_CAPACITY : k); };
    return nodeGrid.nodes[fold(i)][fold(j)];
}
inline bool IsInUseNode(int32_t i, int32_t j) {
    return i >= 0 && i <= gridWidth && j >= 0 && j <= gridHeight;
}

// World position at which node (i, j) rests.
inline float RestX(int32_t i) {
    return static_cast<float>(i) * GRID_SPACING;
}
inline float RestY(int32_t j) {
    return static_cast<float>(j) * GRID_SPACING;
}

void AddBeam(int32_t ax, int32_t ay, int32_t bx, int32_t by);
int32_t CountBeams();

// Walks the list once in order and removes every beam for which `shouldRemove`
// holds; the others keep their order. One pass, however many are removed.
template <typename Predicate>
void RemoveBeamsWhere(Predicate shouldRemove) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < beamList.size(); ++k) {
        if (!shouldRemove(beamList[k])) {
            if (kept != k) beamList[kept] = beamList[k];
            ++kept;
        }
    }
    beamList.resize(kept);
}

// The stop action: every in-use node back at rest, every beam intact again.
// Kinds and load factors are left as they are.
void ResetWorld();
