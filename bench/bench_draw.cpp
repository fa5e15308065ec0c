// The drawing services against SDL doing the same work: the scaled level
// background, and a scene of beams, joints and grid lines.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"

namespace {

constexpr int32_t SCREEN_WIDTH = 1024;
constexpr int32_t SCREEN_HEIGHT = 768;
constexpr int32_t LEVEL_SIDE = 300;
constexpr int32_t ENLARGEMENT = 20;
constexpr int32_t VIEW_X = -400;  // the game's start-up view offset
constexpr int32_t VIEW_Y = -400;

// A 300 x 300 level picture: a landscape of colours with black gaps, as levels have.
std::vector<uint32_t> LevelPicture() {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < LEVEL_SIDE; ++y) {
        for (int32_t x = 0; x < LEVEL_SIDE; ++x) {
            const bool gap = (x / 7 + y / 5) % 4 == 0;
            pixels.push_back(gap ? 0u : MakeColour((x * 3) & 255, (y * 5) & 255, (x + y) & 255));
        }
    }
    return pixels;
}

// Writes the picture as a 24-bit bitmap file and loads it as texture sprite 1.
void LoadLevelSprite() {
    const std::vector<uint32_t> pixels = LevelPicture();
    const int32_t rowBytes = (LEVEL_SIDE * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * LEVEL_SIDE, 0);
    auto put32 = [&](std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, LEVEL_SIDE);
    put32(22, LEVEL_SIDE);
    file[26] = 1;
    file[28] = 24;
    for (int32_t y = 0; y < LEVEL_SIDE; ++y) {
        for (int32_t x = 0; x < LEVEL_SIDE; ++x) {
            const uint32_t p = pixels[static_cast<std::size_t>(y * LEVEL_SIDE + x)];
            uint8_t* out = file.data() + 54 + static_cast<std::size_t>(LEVEL_SIDE - 1 - y) * rowBytes + 3 * x;
            out[0] = static_cast<uint8_t>(p >> 16);
            out[1] = static_cast<uint8_t>(p >> 8);
            out[2] = static_cast<uint8_t>(p);
        }
    }
    const std::string path = "/tmp/karnolt_bench_level.bmp";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
    if (LoadSpriteImage(1, path.c_str(), SPRITE_MODE_TEXTURE) == 0) {
        std::fprintf(stderr, "%s\n", LastSpriteError().c_str());
    }
    std::remove(path.c_str());
}

// The level as scaled sprite 1, twentyfold and bilinear, on a fresh screen.
void PrepareLevelBackground() {
    ResetDrawing();
    AllocateBackBuffer(SCREEN_WIDTH, SCREEN_HEIGHT);
    LoadLevelSprite();
    MakeScaledSprite(1, 1);
    SetScaledSize(1, LEVEL_SIDE * ENLARGEMENT, LEVEL_SIDE * ENLARGEMENT);
    SetScaledFiltering(1);
}

void BM_ScaledBackgroundOurs(benchmark::State& state) {
    PrepareLevelBackground();
    // Over the previous pass's picture, so every pixel takes the full blend.
    for (auto _ : state) {
        BeginScaledPass();
        ShowScaledSprite(1, VIEW_X, VIEW_Y, 128);
        EndScaledPass();
        // as PresentFrame writes it
        benchmark::DoNotOptimize(SettledBackBuffer().pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * SCREEN_WIDTH * SCREEN_HEIGHT);
    ResetDrawing();
}

// The game's case: each frame clears the screen to black, then shows the
// background. The first argument scrolls the view by 10 pixels a pass, so the
// stretched picture is worked out afresh every time.
void BM_ScaledBackgroundOursFrame(benchmark::State& state) {
    PrepareLevelBackground();
    const bool scrolling = state.range(0) != 0;
    int32_t shift = 0;
    for (auto _ : state) {
        ClearBackBuffer(0, 0, 0);
        BeginScaledPass();
        ShowScaledSprite(1, VIEW_X + shift, VIEW_Y, 128);
        EndScaledPass();
        SettledBackBuffer();  // as PresentFrame writes it
        if (scrolling) shift = shift == 0 ? 10 : 0;
        benchmark::DoNotOptimize(SettledBackBuffer().pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * SCREEN_WIDTH * SCREEN_HEIGHT);
    ResetDrawing();
}

// SDL: stretch the visible part of the level linearly into a screen-sized
// surface, then blend that over the screen at half opacity.
void BM_ScaledBackgroundSdl(benchmark::State& state) {
    const std::vector<uint32_t> pixels = LevelPicture();
    SDL_Surface* level =
        SDL_CreateRGBSurfaceWithFormat(0, LEVEL_SIDE, LEVEL_SIDE, 32, SDL_PIXELFORMAT_ABGR8888);
    for (int32_t y = 0; y < LEVEL_SIDE; ++y) {
        std::memcpy(static_cast<uint8_t*>(level->pixels) + y * level->pitch, pixels.data() + y * LEVEL_SIDE,
                    LEVEL_SIDE * 4);
    }
    SDL_Surface* stretched =
        SDL_CreateRGBSurfaceWithFormat(0, SCREEN_WIDTH, SCREEN_HEIGHT, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_Surface* screen =
        SDL_CreateRGBSurfaceWithFormat(0, SCREEN_WIDTH, SCREEN_HEIGHT, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_SetSurfaceBlendMode(stretched, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(stretched, 128);
    // The level texels the screen shows (51.2 x 38.4 at twentyfold), stretched over the screen.
    const SDL_Rect source{-VIEW_X / ENLARGEMENT, -VIEW_Y / ENLARGEMENT, SCREEN_WIDTH / ENLARGEMENT,
                          SCREEN_HEIGHT / ENLARGEMENT};
    SDL_Rect target{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    for (auto _ : state) {
        if (SDL_SoftStretchLinear(level, &source, stretched, &target) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        SDL_BlitSurface(stretched, nullptr, screen, nullptr);
        benchmark::DoNotOptimize(screen->pixels);
    }
    state.SetItemsProcessed(state.iterations() * SCREEN_WIDTH * SCREEN_HEIGHT);
    SDL_FreeSurface(screen);
    SDL_FreeSurface(stretched);
    SDL_FreeSurface(level);
}

struct Beam {
    int32_t x1, y1, x2, y2;
    uint8_t r, g, b;
};
struct Joint {
    int32_t x, y;
    uint8_t r, g, b;
};
struct Scene {
    std::vector<Beam> beams;
    std::vector<Joint> joints;
};

Scene MakeScene() {
    Scene scene;
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> x(0, SCREEN_WIDTH - 1), y(0, SCREEN_HEIGHT - 1), delta(-60, 60);
    std::uniform_int_distribution<int32_t> component(0, 255);
    for (int32_t i = 0; i < 2000; ++i) {
        const int32_t x1 = x(random), y1 = y(random);
        scene.beams.push_back(
            Beam{x1, y1, x1 + delta(random), y1 + delta(random), static_cast<uint8_t>(component(random)),
                 static_cast<uint8_t>(component(random)), static_cast<uint8_t>(component(random))});
        scene.joints.push_back(Joint{x(random), y(random), static_cast<uint8_t>(component(random)),
                                     static_cast<uint8_t>(component(random)),
                                     static_cast<uint8_t>(component(random))});
    }
    return scene;
}

// The game's grid over a 300 x 300 level seen from its start-up view: three grey
// passes with steps 1, 4 and 8, 830 lines of 6,000 pixels, most of them clipped.
template <typename Line>
void ForEachGridLine(Line line) {
    const uint8_t greys[3] = {80, 120, 160};
    const int32_t steps[3] = {1, 4, 8};
    for (int32_t pass = 0; pass < 3; ++pass) {
        for (int32_t i = 0; i <= LEVEL_SIDE; i += steps[pass]) {
            line(greys[pass], 20 * i + VIEW_X, VIEW_Y, 20 * i + VIEW_X, VIEW_Y + 20 * LEVEL_SIDE);
        }
        for (int32_t j = 0; j <= LEVEL_SIDE; j += steps[pass]) {
            line(greys[pass], VIEW_X, 20 * j + VIEW_Y, VIEW_X + 20 * LEVEL_SIDE, 20 * j + VIEW_Y);
        }
    }
}

constexpr int32_t BAND[5][2] = {{-1, 0}, {0, 0}, {1, 0}, {0, -1}, {0, 1}};

void BM_SceneOurs(benchmark::State& state) {
    const Scene scene = MakeScene();
    ResetDrawing();
    AllocateBackBuffer(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (auto _ : state) {
        BeginDraw(BackBufferTarget());
        SetDrawFlags(DRAW_TRANSPARENT_TEXT);
        uint8_t currentGrey = 0;
        ForEachGridLine([&](uint8_t grey, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
            if (grey != currentGrey) {
                SetPenColour(grey, grey, grey);
                currentGrey = grey;
            }
            DrawSegment(x1, y1, x2 - x1, y2 - y1);
        });
        for (const Joint& j : scene.joints) {
            DrawCircle(j.x, j.y, 4, MakeColour(j.r, j.g, j.b));
        }
        for (const Beam& b : scene.beams) {
            const uint32_t colour = MakeColour(b.r, b.g, b.b);
            for (const auto& s : BAND) {
                DrawSegmentBetween(b.x1 + s[0], b.y1 + s[1], b.x2 + s[0], b.y2 + s[1], colour);
            }
        }
        EndDraw();
        benchmark::DoNotOptimize(SettledBackBuffer().pixels.data());
    }
    ResetDrawing();
}

void BM_SceneSdlGfx(benchmark::State& state) {
    const Scene scene = MakeScene();
    SDL_Surface* screen =
        SDL_CreateRGBSurfaceWithFormat(0, SCREEN_WIDTH, SCREEN_HEIGHT, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(screen);
    if (renderer == nullptr) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    for (auto _ : state) {
        ForEachGridLine([&](uint8_t grey, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
            lineRGBA(renderer, static_cast<Sint16>(x1), static_cast<Sint16>(y1), static_cast<Sint16>(x2),
                     static_cast<Sint16>(y2), grey, grey, grey, 255);
        });
        for (const Joint& j : scene.joints) {
            filledCircleRGBA(renderer, static_cast<Sint16>(j.x), static_cast<Sint16>(j.y), 4, j.r, j.g, j.b,
                             255);
        }
        for (const Beam& b : scene.beams) {
            for (const auto& s : BAND) {
                lineRGBA(renderer, static_cast<Sint16>(b.x1 + s[0]), static_cast<Sint16>(b.y1 + s[1]),
                         static_cast<Sint16>(b.x2 + s[0]), static_cast<Sint16>(b.y2 + s[1]), b.r, b.g, b.b,
                         255);
            }
        }
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(screen->pixels);
    }
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(screen);
}

// Far-off and huge primitives cost what they cover on screen, like their on-screen twins.
void BM_Primitive(benchmark::State& state) {
    ResetDrawing();
    AllocateBackBuffer(SCREEN_WIDTH, SCREEN_HEIGHT);
    BeginDraw(BackBufferTarget());
    SetDrawFlags(state.range(0) >= 4 ? DRAW_OUTLINE : DRAW_TRANSPARENT_TEXT);
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:  // one screen row
                DrawSegmentBetween(0, 5, SCREEN_WIDTH, 5, MakeColour(1, 2, 3));
                break;
            case 1:  // the same row, from two billion pixels away
                DrawSegmentBetween(-1000000000, 5, 1000000000, 5, MakeColour(1, 2, 3));
                break;
            case 2:  // a steep segment between the int32 limits
                DrawSegmentBetween(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, MakeColour(1, 2, 3));
                break;
            case 3:  // a filled circle covering the whole screen
                DrawCircle(512, 384, 2000000000, MakeColour(1, 2, 3));
                break;
            case 4:  // a circle outline that crosses the screen
                DrawCircle(-1999999500, 384, 2000000000, MakeColour(1, 2, 3));
                break;
            default:  // an on-screen outline of about the same visible length
                DrawCircle(512, 384, 300, MakeColour(1, 2, 3));
                break;
        }
        benchmark::DoNotOptimize(SettledBackBuffer().pixels.data());
    }
    EndDraw();
    ResetDrawing();
}

}  // namespace

BENCHMARK(BM_ScaledBackgroundOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaledBackgroundSdl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaledBackgroundOursFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SceneOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SceneSdlGfx)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_Primitive)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
