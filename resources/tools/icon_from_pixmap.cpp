// icon_from_pixmap MAP ICO
//
// Turns the program icon's text pixel map into a Windows .ico file. The map
// has 32 lines of 32 characters, one per pixel: '.' is transparent, '#' is
// pure blue. The icon holds one 32x32 image of 16 colours: a BITMAPINFOHEADER
// of doubled height, the standard 16-colour palette, the 4-bit colour bitmap
// and the 1-bit transparency mask (1 = transparent), both bottom-up with rows
// padded to 4 bytes. A malformed map is refused with its line and column, so
// the build stops there.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kBitsPerPixel = 4;
constexpr int kColourCount = 16;
constexpr std::uint8_t kBlueIndex = 12;

// The standard 16-colour palette as 0xRRGGBB: 0 is black, 12 is pure blue.
constexpr std::array<std::uint32_t, kColourCount> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
static_assert(kPalette[0] == 0x000000 && kPalette[kBlueIndex] == 0x0000FF);

// Pixel rows top-down; true is a blue pixel, false a transparent one.
using Pixels = std::array<std::array<bool, kSize>, kSize>;

class MapError : public std::runtime_error {
  public:
    MapError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
    int line() const { return line_; }

  private:
    int line_;
};

std::string describe(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte < 0x7F) return std::string("'") + c + "'";
    std::ostringstream text;
    text << "byte 0x" << std::hex << static_cast<unsigned>(byte);
    return text.str();
}

// Splits the text into lines; a final newline ends the last line rather than
// starting an empty one, and a carriage return before a newline is dropped.
std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

Pixels parse_map(const std::string& text) {
    const std::vector<std::string> lines = split_lines(text);
    Pixels pixels{};
    for (std::size_t y = 0; y < lines.size(); ++y) {
        const int line_number = static_cast<int>(y) + 1;
        if (y >= kSize) {
            throw MapError(line_number, "more than " + std::to_string(kSize) + " rows");
        }
        const std::string& row = lines[y];
        for (std::size_t x = 0; x < row.size() && x < kSize; ++x) {
            if (row[x] != '.' && row[x] != '#') {
                throw MapError(line_number, "column " + std::to_string(x + 1) + ": unknown pixel " +
                                                describe(row[x]) +
                                                " (use '.' for transparent, '#' for blue)");
            }
            pixels[y][x] = row[x] == '#';
        }
        if (row.size() != kSize) {
            throw MapError(line_number, "row of " + std::to_string(row.size()) +
                                            " pixels, expected " + std::to_string(kSize));
        }
    }
    if (lines.size() != kSize) {
        throw MapError(std::max(1, static_cast<int>(lines.size())),
                       std::to_string(lines.size()) + " rows, expected " + std::to_string(kSize));
    }
    return pixels;
}

class ByteWriter {
  public:
    void u8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
    void u16(std::uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

constexpr std::uint32_t row_stride(int bits_per_pixel) {
    return static_cast<std::uint32_t>((kSize * bits_per_pixel + 31) / 32 * 4);
}

std::vector<std::uint8_t> encode_icon(const Pixels& pixels) {
    constexpr std::uint32_t kHeaderSize = 40;
    constexpr std::uint32_t kColourBytes = row_stride(kBitsPerPixel) * kSize;
    constexpr std::uint32_t kMaskBytes = row_stride(1) * kSize;
    constexpr std::uint32_t kImageSize = kHeaderSize + 4 * kColourCount + kColourBytes + kMaskBytes;
    constexpr std::uint32_t kImageOffset = 6 + 16;

    ByteWriter out;
    // ICONDIR and its one ICONDIRENTRY.
    out.u16(0);
    out.u16(1);  // type: icon
    out.u16(1);  // one image
    out.u8(kSize);
    out.u8(kSize);
    out.u8(kColourCount);
    out.u8(0);
    out.u16(1);  // planes
    out.u16(kBitsPerPixel);
    out.u32(kImageSize);
    out.u32(kImageOffset);

    // BITMAPINFOHEADER: the height counts the colour bitmap and the mask.
    out.u32(kHeaderSize);
    out.u32(kSize);
    out.u32(2 * kSize);
    out.u16(1);
    out.u16(kBitsPerPixel);
    out.u32(0);  // BI_RGB
    out.u32(kColourBytes + kMaskBytes);
    out.u32(0);
    out.u32(0);
    out.u32(kColourCount);
    out.u32(0);

    for (std::uint32_t rgb : kPalette) {
        out.u8(rgb & 0xFF);          // blue
        out.u8((rgb >> 8) & 0xFF);   // green
        out.u8((rgb >> 16) & 0xFF);  // red
        out.u8(0);
    }

    // Colour bitmap, bottom-up: two pixels a byte, the left one in the high
    // nibble; a transparent pixel is black so that it leaves the screen as is.
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; x += 2) {
            const std::uint32_t left = pixels[y][x] ? kBlueIndex : 0;
            const std::uint32_t right = pixels[y][x + 1] ? kBlueIndex : 0;
            out.u8(left << 4 | right);
        }
    }
    // Mask, bottom-up: eight pixels a byte, the left one in the high bit.
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; x += 8) {
            std::uint32_t byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (!pixels[y][x + bit]) byte |= 0x80u >> bit;
            }
            out.u8(byte);
        }
    }
    if (out.bytes().size() != kImageOffset + kImageSize) {
        throw std::logic_error("icon size mismatch");
    }
    return out.bytes();
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw std::runtime_error("cannot read " + path.string());
    return text.str();
}

// Writes beside the target and renames, so a failed run leaves no icon that
// a later build could take as up to date.
void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: icon_from_pixmap MAP ICO\n";
        return 2;
    }
    const std::filesystem::path map_path = argv[1];
    try {
        const Pixels pixels = parse_map(read_file(map_path));
        write_file(argv[2], encode_icon(pixels));
    } catch (const MapError& error) {
        std::cerr << map_path.string() << ":" << error.line() << ": error: " << error.what()
                  << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "icon_from_pixmap: error: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
