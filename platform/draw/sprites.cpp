// The sprite table and the loading of sprite images from bitmap files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

struct BuiltInFile {
    std::string name;
    const uint8_t* bytes;
    std::size_t size;
};
// The program's own, for its whole run: a start afresh keeps them.
std::vector<BuiltInFile> builtInFiles;

const BuiltInFile* FindBuiltInFile(const char* fileName) {
    for (const BuiltInFile& file : builtInFiles) {
        if (file.name == fileName) return &file;
    }
    return nullptr;
}

// Level bitmaps are a few hundred kilobytes; anything far beyond is not one of
// ours.
constexpr std::size_t MAX_FILE_BYTES = std::size_t{64} << 20;

// Reads the whole file, or says why it could not. Only regular files: a pipe or a
// device could block the reader for ever.
bool ReadWholeFile(const char* fileName, std::vector<uint8_t>& data, std::string& reason) {
    if (const BuiltInFile* builtIn = FindBuiltInFile(fileName)) {
        data.assign(builtIn->bytes, builtIn->bytes + builtIn->size);
        return true;
    }
    // Opening a FIFO without O_NONBLOCK waits for a writer.
    const int file = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        reason = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return false;
    }
    const std::string tooLarge = "file larger than " + std::to_string(MAX_FILE_BYTES >> 20) + " MiB";
    struct stat info {};
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = "not a regular file";
    } else if (static_cast<uint64_t>(info.st_size) > MAX_FILE_BYTES) {
        reason = tooLarge;
    }
    if (!reason.empty()) {
        close(file);
        return false;
    }
    data.clear();
    uint8_t chunk[65536];
    bool ok = true;
    while (true) {
        const ssize_t got = read(file, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            reason = std::string("cannot be read (") + std::strerror(errno) + ")";
            ok = false;
            break;
        }
        if (got == 0) break;
        data.insert(data.end(), chunk, chunk + got);
        // A file that grows while it is read.
        if (data.size() > MAX_FILE_BYTES) {
            reason = tooLarge;
            ok = false;
            break;
        }
    }
    close(file);
    return ok;
}

}  // namespace

void AddBuiltInFile(const char* name, const uint8_t* bytes, std::size_t size) {
    builtInFiles.push_back(BuiltInFile{name, bytes, size});
}

bool IsBuiltInFile(const char* fileName) {
    return FindBuiltInFile(fileName) != nullptr;
}

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
