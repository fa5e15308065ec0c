// Converts a fixed-width X11 PCF bitmap font into the compiled-in font of the
// drawing services (platform/draw/font_6x13.cpp). Run once, by hand:
//
//   gzip -dc /usr/share/fonts/X11/misc/6x13-ISO8859-1.pcf.gz > 6x13.pcf
//   build/font_convert 6x13.pcf > platform/draw/font_6x13.cpp
//
// The 6x13 "misc-fixed" font comes from Debian's xfonts-base package (upstream
// font-misc-misc, whose COPYING reads "Public domain font.  Share and enjoy.").
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int32_t CELL_WIDTH = 6;
constexpr int32_t CELL_HEIGHT = 13;

constexpr uint32_t PCF_METRICS = 1u << 2;
constexpr uint32_t PCF_BITMAPS = 1u << 3;
constexpr uint32_t PCF_BDF_ENCODINGS = 1u << 5;
constexpr uint32_t PCF_ACCELERATORS = 1u << 1;
constexpr uint32_t PCF_BDF_ACCELERATORS = 1u << 8;
constexpr uint32_t PCF_COMPRESSED_METRICS = 0x100;

struct Reader {
    const std::vector<uint8_t>& data;
    std::size_t position;
    bool bigEndian;

    uint32_t Byte() {
        if (position >= data.size()) {
            throw std::string("unexpected end of file");
        }
        return data[position++];
    }
    uint32_t U32() {
        uint32_t b[4] = {Byte(), Byte(), Byte(), Byte()};
        return bigEndian ? (b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3])
                         : (b[3] << 24 | b[2] << 16 | b[1] << 8 | b[0]);
    }
    int32_t I16() {
        uint32_t b[2] = {Byte(), Byte()};
        return static_cast<int16_t>(bigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]));
    }
};

struct Metrics {
    int32_t left = 0;
    int32_t right = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
};

struct Table {
    uint32_t format = 0;
    std::size_t offset = 0;
};

// Each table starts with its format word, always little-endian.
Reader OpenTable(const std::vector<uint8_t>& data, const Table& table) {
    Reader reader{data, table.offset, false};
    const uint32_t format = reader.U32();
    reader.bigEndian = (format & 4u) != 0;
    return reader;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: font_convert <font.pcf>\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot be opened\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    try {
        Reader header{data, 0, false};
        if (header.U32() != 0x70636601u) {
            throw std::string("not a PCF font");
        }
        const uint32_t tableCount = header.U32();
        Table metricsTable, bitmapTable, encodingTable, acceleratorTable;
        for (uint32_t i = 0; i < tableCount; ++i) {
            const uint32_t type = header.U32();
            const uint32_t format = header.U32();
            header.U32();  // size
            const uint32_t offset = header.U32();
            const Table table{format, offset};
            if (type == PCF_METRICS) {
                metricsTable = table;
            } else if (type == PCF_BITMAPS) {
                bitmapTable = table;
            } else if (type == PCF_BDF_ENCODINGS) {
                encodingTable = table;
            } else if (type == PCF_BDF_ACCELERATORS ||
                       (type == PCF_ACCELERATORS && acceleratorTable.offset == 0)) {
                acceleratorTable = table;
            }
        }
        if (metricsTable.offset == 0 || bitmapTable.offset == 0 || encodingTable.offset == 0 ||
            acceleratorTable.offset == 0) {
            throw std::string("a table the converter needs is missing");
        }

        Reader accelerators = OpenTable(data, acceleratorTable);
        for (int i = 0; i < 8; ++i) {
            accelerators.Byte();  // flags
        }
        const auto fontAscent = static_cast<int32_t>(accelerators.U32());

        Reader metricsReader = OpenTable(data, metricsTable);
        std::vector<Metrics> metrics;
        const bool compressed = (data[metricsTable.offset] & PCF_COMPRESSED_METRICS) != 0 ||
                                (data[metricsTable.offset + 1] & 1u) != 0;
        const int32_t glyphCount =
            compressed ? metricsReader.I16() : static_cast<int32_t>(metricsReader.U32());
        for (int32_t i = 0; i < glyphCount; ++i) {
            Metrics m;
            if (compressed) {
                m.left = static_cast<int32_t>(metricsReader.Byte()) - 0x80;
                m.right = static_cast<int32_t>(metricsReader.Byte()) - 0x80;
                metricsReader.Byte();  // width
                m.ascent = static_cast<int32_t>(metricsReader.Byte()) - 0x80;
                m.descent = static_cast<int32_t>(metricsReader.Byte()) - 0x80;
            } else {
                m.left = metricsReader.I16();
                m.right = metricsReader.I16();
                metricsReader.I16();
                m.ascent = metricsReader.I16();
                m.descent = metricsReader.I16();
                metricsReader.I16();
            }
            metrics.push_back(m);
        }

        Reader bitmaps = OpenTable(data, bitmapTable);
        const uint32_t bitmapFormat = data[bitmapTable.offset];
        const bool msbBytes = (bitmapFormat & 4u) != 0;
        const bool msbBits = (bitmapFormat & 8u) != 0;
        const uint32_t rowPad = 1u << (bitmapFormat & 3u);
        const uint32_t scanUnit = 1u << ((bitmapFormat >> 4) & 3u);
        if (static_cast<int32_t>(bitmaps.U32()) != glyphCount) {
            throw std::string("bitmap and metrics tables disagree");
        }
        std::vector<uint32_t> glyphOffsets;
        for (int32_t i = 0; i < glyphCount; ++i) {
            glyphOffsets.push_back(bitmaps.U32());
        }
        for (int i = 0; i < 4; ++i) {
            bitmaps.U32();  // bitmap sizes for each padding
        }
        const std::size_t bitmapBase = bitmaps.position;

        Reader encodings = OpenTable(data, encodingTable);
        const int32_t firstColumn = encodings.I16();
        const int32_t lastColumn = encodings.I16();
        const int32_t firstRow = encodings.I16();
        encodings.I16();  // last row: single-byte fonts have one
        const int32_t defaultChar = encodings.I16();
        if (firstRow != 0) {
            throw std::string("not a single-byte font");
        }
        std::vector<int32_t> glyphIndex(256, -1);
        for (int32_t code = firstColumn; code <= lastColumn; ++code) {
            const int32_t index = encodings.I16() & 0xFFFF;
            if (code < 256 && index != 0xFFFF && index < glyphCount) {
                glyphIndex[static_cast<std::size_t>(code)] = index;
            }
        }

        auto pixel = [&](int32_t glyph, int32_t x, int32_t y) {
            const Metrics& m = metrics[static_cast<std::size_t>(glyph)];
            const uint32_t rowBits = static_cast<uint32_t>(m.right - m.left);
            const uint32_t rowBytes = (rowBits + rowPad * 8 - 1) / (rowPad * 8) * rowPad;
            std::size_t byte = static_cast<std::size_t>(x / 8);
            if (msbBytes != msbBits) {  // bytes swapped within each scan unit
                byte = byte / scanUnit * scanUnit + (scanUnit - 1 - byte % scanUnit);
            }
            const std::size_t at = bitmapBase + glyphOffsets[static_cast<std::size_t>(glyph)] +
                                   static_cast<std::size_t>(y) * rowBytes + byte;
            if (at >= data.size()) {
                throw std::string("glyph bitmap outside the file");
            }
            const uint32_t bit = msbBits ? 7u - static_cast<uint32_t>(x % 8) : static_cast<uint32_t>(x % 8);
            return (data[at] >> bit) & 1u;
        };

        std::printf(
            "// Generated by tools/font_convert.cpp from the X11 \"misc-fixed\" 6x13 font\n"
            "// (6x13-ISO8859-1.pcf.gz in Debian's xfonts-base, upstream font-misc-misc), whose\n"
            "// licence reads \"Public domain font.  Share and enjoy.\"\n"
            "// Do not edit by hand.\n"
            "#include \"platform/draw/font.h\"\n\n"
            "const uint8_t FONT_GLYPHS[256][FONT_HEIGHT] = {\n");
        for (int32_t code = 0; code < 256; ++code) {
            int32_t glyph = glyphIndex[static_cast<std::size_t>(code)];
            if (glyph < 0 && defaultChar >= 0 && defaultChar < 256) {
                glyph = glyphIndex[static_cast<std::size_t>(defaultChar)];
            }
            uint8_t rows[CELL_HEIGHT] = {};
            if (glyph >= 0) {
                const Metrics& m = metrics[static_cast<std::size_t>(glyph)];
                for (int32_t y = 0; y < m.ascent + m.descent; ++y) {
                    const int32_t cellY = fontAscent - m.ascent + y;
                    for (int32_t x = 0; x < m.right - m.left; ++x) {
                        const int32_t cellX = m.left + x;
                        if (cellY >= 0 && cellY < CELL_HEIGHT && cellX >= 0 && cellX < CELL_WIDTH &&
                            pixel(glyph, x, y) != 0) {
                            rows[cellY] = static_cast<uint8_t>(rows[cellY] | (0x80u >> cellX));
                        }
                    }
                }
            }
            std::printf("    {");
            for (int32_t y = 0; y < CELL_HEIGHT; ++y) {
                std::printf("0x%02X%s", rows[y], y + 1 < CELL_HEIGHT ? ", " : "");
            }
            std::printf("},  // %d\n", code);
        }
        std::printf("};\n");
    } catch (const std::string& reason) {
        std::fprintf(stderr, "%s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    return 0;
}
