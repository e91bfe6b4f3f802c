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

    const ScreenDc screen;
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), box.width, box.height));
    if (!memory || !bitmap) return false;
    {
        const SelectedObject selected(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, box.width, box.height, screen.Get(), box.left, box.top,
                    SRCCOPY)) {
            return false;
        }
    }

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = box.width;
    info.biHeight = box.height;  // bottom-up, as BMP files store rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (box.width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * box.height);
    if (GetDIBits(memory.Get(), bitmap.Get(), 0, box.height, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != box.height) {
        return false;
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    info.biSizeImage = static_cast<DWORD>(pixels.size());

    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace velmora::e2e
