#include "render/hud.h"

#include <cstdio>
#include <string>
#include <vector>

#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "render/frame_rate_meter.h"

void DrawPointerArrow() {
    for (int32_t k = 0; k <= 5; ++k) DrawSegment(editor.pointerX, editor.pointerY, 10 - k, 5 + k);
}

struct HudText {
    int32_t x;
    int32_t y;
    const char* text;  // UTF-8 here, Latin-1 on screen
};

static constexpr HudText LEGEND_AND_HELP[] = {
    {900, 0, " Legende"},
    {900, 5, "_________"},
    {900, 30, "Druckkräfte"},
    {900, 50, "keine Kräfte"},
    {900, 70, "Zugkräfte"},
    {850, 100, " Maus/Tasten"},
    {850, 105, "_____________"},
    {830, 130, "Positionen der Stahlträger"},
    {830, 150, "setzten:  Maus 1"},
    {830, 170, "Verbindung zwischen Trägern"},
    {830, 190, "löschen: Maus 2"},
    {830, 210, "Ramen mit Maus 2 ziehen"},
    {830, 230, "um mit 'Entf' zu löschen"},
    {830, 260, "'Enter' zum Starten der"},
    {830, 280, "Simulation"},
    {830, 310, "Einer der Positionen des"},
    {830, 330, "Stahlträgers muss immer"},
    {830, 350, "an vorhandenen Obj. sein"},
};

// A fixed Latin-1 prefix followed by numbers, formatted without allocating.
static void DrawNumbers(int32_t x, int32_t y, const char* format, int32_t first, int32_t second = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, first, second);
    SetTextCursor(x, y);
    DrawLabel(text);
}

static void DrawLegendBar() {
    for (int32_t k = 0; k <= 5; ++k) {
        DrawBox(850, 30 + 5 * k, 40, 5, MakeColour(255 - 40 * k, 55 + 40 * k, 55));
    }
    for (int32_t k = 0; k <= 5; ++k) {
        DrawBox(850, 55 + 5 * k, 40, 5, MakeColour(55, 255 - 40 * k, 55 + 40 * k));
    }
}

void DrawHud() {
    SetPenColour(255, 255, 255);
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    DrawPointerArrow();
    fpsMeter.lastFrameRate = FrameRateMeter();
    // The texts are converted to Latin-1 once, not in every frame.
    static const std::string beamsFormat = Latin1FromUtf8("Träger: %d");
    DrawNumbers(0, 0, "FPS: %d", fpsMeter.lastFrameRate);
    DrawNumbers(0, 20, "Verschiebung: %d, %d", editor.viewOffsetX, editor.viewOffsetY);
    DrawNumbers(0, 40, beamsFormat.c_str(), CountBeams());
    SetTextCursor(0, 720);
    DrawLabel(game.simulationRunning != 0 ? "Gravitationssimulation : [-AN-]"
                                          : "Gravitationssimulation : [-AUS-]");
    static const std::vector<std::string> legendAndHelp = [] {
        std::vector<std::string> lines;
        for (const HudText& line : LEGEND_AND_HELP) lines.push_back(Latin1FromUtf8(line.text));
        return lines;
    }();
    for (std::size_t k = 0; k < legendAndHelp.size(); ++k) {
        SetTextCursor(LEGEND_AND_HELP[k].x, LEGEND_AND_HELP[k].y);
        DrawLabel(legendAndHelp[k]);
    }
    DrawLegendBar();
}
