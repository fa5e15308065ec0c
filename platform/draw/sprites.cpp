// The sprite table and the loading of sprite images from bitmap files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/draw/bitmap_decode.h"
#include "platform/draw/draw_state.h"
#include "platform/draw/numbered_table.h"

namespace {

// Counts loads of and drawings on sprite images, so scaled sprites know when the
// pictures they keep are stale.
uint64_t spriteImageEdits = 0;

std::vector<Sprite> spriteTable;
std::string lastSpriteError;

// Level bitmaps are a few hundred kilobytes; anything far beyond is not one of
// ours, and a device that never ends must not hang the loader.
constexpr std::size_t MAX_FILE_BYTES = std::size_t{64} << 20;

// Reads the whole file, or says why it could not.
bool ReadWholeFile(const char* fileName, std::vector<uint8_t>& data, std::string& reason) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        reason = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return false;
    }
    data.clear();
    uint8_t chunk[65536];
    bool ok = true;
    while (true) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        data.insert(data.end(), chunk, chunk + got);
        if (data.size() > MAX_FILE_BYTES) {
            reason = "file larger than " + std::to_string(MAX_FILE_BYTES >> 20) + " MiB";
            ok = false;
            break;
        }
        if (got < sizeof chunk) {
            if (std::ferror(file) != 0) {
                reason = std::string("cannot be read (") + std::strerror(errno) + ")";
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

void NoteSpriteImageEdit() {
    ++spriteImageEdits;
}

uint64_t SpriteImageEdits() {
    return spriteImageEdits;
}

Sprite* FindSprite(int32_t spriteNumber) {
    return FindNumberedEntry(spriteTable, spriteNumber);
}

void EmptySpriteTable() {
    spriteTable.clear();
    lastSpriteError.clear();
}

int32_t LoadSpriteImage(int32_t spriteNumber, const char* fileName, int32_t mode) {
    const std::string name = fileName != nullptr ? fileName : "";
    if (!GrowNumberedTable(spriteTable, spriteNumber)) {
        lastSpriteError = name + ": sprite number " + std::to_string(spriteNumber) + " out of range 0.." +
                          std::to_string(MAX_TABLE_NUMBER);
        return 0;
    }
    // The old image goes first, so every refusal leaves the sprite unloaded.
    Sprite& sprite = spriteTable[static_cast<std::size_t>(spriteNumber)];
    if (drawState.targetKind == DRAW_TARGET_SPRITE && drawState.targetSprite == spriteNumber) {
        // The drawing on it ends, as EndDraw would end it.
        NoteSpriteImageEdit();
        drawState.targetKind = DRAW_TARGET_NONE;
        drawState.targetSprite = 0;
    }
    sprite = Sprite{};

    std::vector<uint8_t> data;
    std::string reason;
    Surface image;
    if (fileName == nullptr) {
        reason = "no file name";
    } else if (ReadWholeFile(fileName, data, reason)) {
        DecodeBitmap(data.data(), data.size(), image, reason);
    }
    if (!reason.empty()) {
        lastSpriteError = name + ": " + reason;
        return 0;
    }
    sprite.image = std::move(image);
    NoteSpriteImageEdit();
    sprite.mode = mode;
    lastSpriteError.clear();
    return 1;
}

int32_t GetSpriteWidth(int32_t spriteNumber) {
    const Sprite* sprite = FindSprite(spriteNumber);
    return sprite != nullptr ? sprite->image.width : 0;
}

int32_t GetSpriteHeight(int32_t spriteNumber) {
    const Sprite* sprite = FindSprite(spriteNumber);
    return sprite != nullptr ? sprite->image.height : 0;
}

const std::string& LastSpriteError() {
    return lastSpriteError;
}
