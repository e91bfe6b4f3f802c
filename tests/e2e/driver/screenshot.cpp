#include "screenshot.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "handles.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

int Stride(int width) { return (width * 3 + 3) & ~3; }

// The box's pixels as the screen shows them, 24-bit rows bottom-up as BMP
// files store them; empty when they cannot be read.
std::vector<BYTE> ScreenPixels(const Box& box, BITMAPINFOHEADER& info) {
    if (box.width <= 0 || box.height <= 0) return {};
    const ScreenDc screen(GetDC(nullptr));
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), box.width, box.height));
    if (!memory || !bitmap) return {};
    {
        const SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, box.width, box.height, screen.get(), box.left, box.top,
                    SRCCOPY)) {
            return {};
        }
    }
    info = BITMAPINFOHEADER{};
    info.biSize = sizeof info;
    info.biWidth = box.width;
    info.biHeight = box.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<BYTE> pixels(static_cast<size_t>(Stride(box.width)) * box.height);
    if (GetDIBits(memory.get(), bitmap.get(), 0, box.height, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != box.height) {
        return {};
    }
    return pixels;
}

}  // namespace

std::optional<COLORREF> DarkestPixel(const Box& box) {
    BITMAPINFOHEADER info;
    const std::vector<BYTE> pixels = ScreenPixels(box, info);
    if (pixels.empty()) return std::nullopt;
    std::optional<COLORREF> darkest;
    int least = 3 * 256;
    for (int row = 0; row < box.height; ++row) {
        for (int column = 0; column < box.width; ++column) {
            const BYTE* bgr = &pixels[static_cast<size_t>(row) * Stride(box.width) + column * 3];
            if (bgr[0] + bgr[1] + bgr[2] < least) {
                least = bgr[0] + bgr[1] + bgr[2];
                darkest = RGB(bgr[2], bgr[1], bgr[0]);
            }
        }
    }
    return darkest;
}

bool WriteScreenshot(HWND window, const std::wstring& path) {
    BITMAPINFOHEADER info;
    const std::vector<BYTE> pixels = ScreenPixels(OuterBox(window), info);
    if (pixels.empty()) return false;

    info.biSizeImage = static_cast<DWORD>(pixels.size());
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file{0x4D42 /* "BM" */, offset + info.biSizeImage, 0, 0, offset};

    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace velmora::e2e
