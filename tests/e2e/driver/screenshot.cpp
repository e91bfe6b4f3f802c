#include "screenshot.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "handles.h"
#include "window_queries.h"

namespace velmora::e2e {

bool WriteScreenshot(HWND window, const std::wstring& path) {
    const Box box = OuterBox(window);
    if (box.width <= 0 || box.height <= 0) return false;

    const ScreenDc screen(GetDC(nullptr));
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), box.width, box.height));
    if (!memory || !bitmap) return false;
    {
        const SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, box.width, box.height, screen.get(), box.left, box.top,
                    SRCCOPY)) {
            return false;
        }
    }

    // Bottom-up rows, as BMP files store them.
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = box.width;
    info.biHeight = box.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (box.width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * box.height);
    if (GetDIBits(memory.get(), bitmap.get(), 0, box.height, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != box.height) {
        return false;
    }

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
