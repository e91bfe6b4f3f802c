// The resources built into velmora.exe, read back the way Windows reads them:
// the icon, the manifest the loader applies, and the version information of
// the file's properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace velmora {
namespace {

#ifdef VELMORA_EXE_PATH

const wchar_t kExePath[] = L"" VELMORA_EXE_PATH;
constexpr int kIconSize = 32;

template <typename Handle, auto Close>
struct Closer {
    void operator()(Handle handle) const { static_cast<void>(Close(handle)); }
};
template <typename Handle, auto Close>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Closer<Handle, Close>>;

// Draws the icon on a 32-bit DIB filled with the ground colour and returns
// the pixels as 0xRRGGBB, top row first; empty if a GDI call fails.
std::vector<std::uint32_t> DrawOnGround(HICON icon, COLORREF ground) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kIconSize;
    info.bmiHeader.biHeight = -kIconSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const Unique<HDC, ::DeleteDC> dc(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    const Unique<HGDIOBJ, ::DeleteObject> bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const Unique<HGDIOBJ, ::DeleteObject> brush(::CreateSolidBrush(ground));
    if (!dc || !bitmap || !brush) return {};
    const HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
    const RECT all{0, 0, kIconSize, kIconSize};
    const bool drawn =
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get())) &&
        ::DrawIconEx(dc.get(), 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    ::SelectObject(dc.get(), previous);
    if (!drawn) return {};
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + kIconSize * kIconSize);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::span<const BYTE> Resource(HMODULE module, LPCWSTR type, WORD id) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    const void* data = found ? ::LockResource(::LoadResource(module, found)) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<const BYTE*>(data), ::SizeofResource(module, found)};
}

// The first image of an .ico file: its directory entry and the DIB it points
// at, which the resource compiler copies into the program file unchanged.
struct IcoFile {
    std::uint16_t count = 0;
    std::uint8_t width = 0, height = 0, colours = 0;
    std::uint16_t bitCount = 0;
    std::vector<BYTE> image;
};

template <typename T>
T Read(std::span<const BYTE> bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

IcoFile ReadIcoFile(const char* path) {
    IcoFile ico;
    std::ifstream in(path, std::ios::binary);
    const std::vector<BYTE> bytes(std::istreambuf_iterator<char>(in), {});
    const std::span<const BYTE> all(bytes);
    // ICONDIR: reserved 0, type 1 (icon), image count; then 16-byte entries.
    if (all.size() < 6 + 16 || Read<std::uint16_t>(all, 0) != 0 || Read<std::uint16_t>(all, 2) != 1)
        return ico;
    ico.count = Read<std::uint16_t>(all, 4);
    ico.width = all[6];
    ico.height = all[7];
    ico.colours = all[8];
    ico.bitCount = Read<std::uint16_t>(all, 12);
    const auto size = Read<std::uint32_t>(all, 14);
    const auto offset = Read<std::uint32_t>(all, 18);
    if (offset <= all.size() && size <= all.size() - offset)
        ico.image.assign(all.begin() + offset, all.begin() + offset + size);
    return ico;
}

// What a 4-bit icon DIB (header of doubled height, palette, colour bitmap,
// AND mask, both bottom-up) draws on the ground: the screen is ANDed with the
// mask, then XORed with the colour. Pixels as 0xRRGGBB, top row first; empty
// if the DIB is not a 32x32 4-bit one or is cut short.
std::vector<std::uint32_t> ExpectedOnGround(std::span<const BYTE> dib, std::uint32_t ground) {
    const auto header = Read<BITMAPINFOHEADER>(dib, 0);
    if (header.biWidth != kIconSize || header.biHeight != 2 * kIconSize || header.biBitCount != 4 ||
        header.biCompression != BI_RGB)
        return {};
    const std::size_t colours = header.biClrUsed != 0 ? header.biClrUsed : 16;
    const std::size_t colourStride = (kIconSize * 4 + 31) / 32 * 4;
    const std::size_t maskStride = (kIconSize + 31) / 32 * 4;
    const std::size_t palette = header.biSize;
    const std::size_t colourBits = palette + 4 * colours;
    const std::size_t maskBits = colourBits + colourStride * kIconSize;
    if (colours > 16 || maskBits + maskStride * kIconSize > dib.size()) return {};
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kIconSize; ++y) {
        const std::size_t row = kIconSize - 1 - y;
        for (int x = 0; x < kIconSize; ++x) {
            const BYTE pair = dib[colourBits + row * colourStride + x / 2];
            const std::size_t index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            if (index >= colours) return {};
            const auto quad = Read<RGBQUAD>(dib, palette + 4 * index);
            const std::uint32_t colour = quad.rgbRed << 16 | quad.rgbGreen << 8 | quad.rgbBlue;
            const bool transparent = (dib[maskBits + row * maskStride + x / 8] >> (7 - x % 8)) & 1;
            pixels.push_back(((transparent ? ground : 0) ^ colour) & 0xFFFFFF);
        }
    }
    return pixels;
}

// The positions and values of the first few pixels that differ, for the failure message.
std::string Differences(const std::vector<std::uint32_t>& actual,
                        const std::vector<std::uint32_t>& expected) {
    std::ostringstream text;
    int shown = 0;
    for (std::size_t i = 0; i < actual.size() && i < expected.size() && shown < 8; ++i) {
        if (actual[i] == expected[i]) continue;
        text << " (" << i % kIconSize << "," << i / kIconSize << "): " << std::hex
             << std::setfill('0') << std::setw(6) << actual[i] << " instead of " << std::setw(6)
             << expected[i] << std::dec << ";";
        ++shown;
    }
    return text.str();
}

// The committed icon file holds one 32x32 image of 16 colours.
TEST(ExeResourcesTest, IconFileIsOneImageOf32By32InSixteenColours) {
    const IcoFile ico = ReadIcoFile(VELMORA_ICON_PATH);
    ASSERT_FALSE(ico.image.empty()) << "no icon image in " << VELMORA_ICON_PATH;
    EXPECT_EQ(ico.count, 1);
    EXPECT_EQ(ico.width, kIconSize);
    EXPECT_EQ(ico.height, kIconSize);
    EXPECT_EQ(ico.colours, 16);
    EXPECT_EQ(ico.bitCount, 4);
}

// Icon group 1 is the first in the program file, so the shell shows it; the
// image it names draws exactly as the committed file's image, on green so
// that neither a white nor a black ground passes for transparent.
TEST(ExeResourcesTest, IconGroupOneDrawsTheCommittedIconPixelForPixel) {
    const Unique<HMODULE, ::FreeLibrary> module(::LoadLibraryExW(
        kExePath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module) << "cannot load " << VELMORA_EXE_PATH << ", error " << ::GetLastError();
    // Integer ids as "#1", names as they are; a failed enumeration leaves the list empty.
    std::vector<std::wstring> groups;
    static_cast<void>(::EnumResourceNamesW(
        module.get(), RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(
                IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                     : name);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups)));
    ASSERT_FALSE(groups.empty()) << "no icon group";
    EXPECT_EQ(groups.front(), L"#1") << "the first icon group, the one the shell shows";

    const auto group = Resource(module.get(), RT_GROUP_ICON, 1);
    ASSERT_FALSE(group.empty()) << "no icon group 1";
    const int id = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, kIconSize,
                                                 kIconSize, LR_DEFAULTCOLOR);
    const auto image = Resource(module.get(), RT_ICON, static_cast<WORD>(id));
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << "no icon image " << id;
    const auto header = Read<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ(header.biWidth, kIconSize);
    EXPECT_EQ(header.biHeight, 2 * kIconSize) << "colour bitmap and mask";
    EXPECT_EQ(header.biBitCount, 4);

    const Unique<HICON, ::DestroyIcon> icon(
        ::CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), image.size(), TRUE, 0x00030000,
                                   kIconSize, kIconSize, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon) << "error " << ::GetLastError();
    // Green reads the same as a COLORREF and as 0xRRGGBB.
    constexpr std::uint32_t kGreen = 0x008000;
    const std::vector<std::uint32_t> drawn = DrawOnGround(icon.get(), kGreen);
    ASSERT_EQ(drawn.size(), std::size_t{kIconSize * kIconSize});
    const std::vector<std::uint32_t> expected =
        ExpectedOnGround(ReadIcoFile(VELMORA_ICON_PATH).image, kGreen);
    ASSERT_EQ(expected.size(), drawn.size()) << "cannot read " << VELMORA_ICON_PATH;
    EXPECT_TRUE(drawn == expected) << "pixels (x,y) drawn from velmora.exe's icon differ from "
                                   << VELMORA_ICON_PATH << ":" << Differences(drawn, expected);
}

// The loader's own parser reads the manifest: one it cannot read would stop
// the program from starting at all.
TEST(ExeResourcesTest, ManifestAsksForTheHighestRightsAwareOfEachMonitorsDpi) {
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = kExePath;
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const Unique<HANDLE, ::ReleaseActCtx> context(::CreateActCtxW(&request));
    ASSERT_NE(context.get(), INVALID_HANDLE_VALUE)
        << "manifest refused, error " << ::GetLastError();

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    ASSERT_TRUE(::QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext,
                               &runLevel, sizeof(runLevel), nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE);
    EXPECT_FALSE(runLevel.UiAccess);
    const std::pair<const wchar_t*, const wchar_t*> settings[] = {
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"},
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"}};
    std::wstring values;
    for (const auto& [schema, name] : settings) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        ::QueryActCtxSettingsW(0, context.get(), schema, name, value, 64, &written);
        values += value + std::wstring(L";");
    }
    EXPECT_EQ(values, L"true/pm;PerMonitorV2, PerMonitor;");
}

TEST(ExeResourcesTest, VersionIs1031WithItsJapaneseTextsIntact) {
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(kExePath, &ignored));
    ASSERT_FALSE(block.empty()) << "no version information, error " << ::GetLastError();
    ASSERT_TRUE(::GetFileVersionInfoW(kExePath, 0, block.size(), block.data()));
    const auto query = [&](const std::wstring& path) -> const void* {
        void* value = nullptr;
        UINT size = 0;
        return ::VerQueryValueW(block.data(), path.c_str(), &value, &size) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD one = MAKELONG(0, 1), three = MAKELONG(1, 3);  // 1.0 and .3.1
    EXPECT_EQ((std::vector{fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                           fixed->dwProductVersionMS, fixed->dwProductVersionLS}),
              (std::vector{one, three, one, three}));
    // Japanese texts, code page 932, read back unchanged from the resource compiler.
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
    const std::pair<const wchar_t*, std::wstring> texts[] = {
        {L"FileVersion", L"1.0.3.1"},
        {L"ProductVersion", L"1.0.3.1"},
        {L"LegalCopyright", L"\u00A9 2026 Velmora developers"},
        {L"FileDescription", L"Velmora アンインストール情報の整理"},
    };
    for (const auto& [name, expected] : texts) {
        const auto* text = static_cast<const wchar_t*>(
            query(L"\\StringFileInfo\\041103a4\\" + std::wstring(name)));
        EXPECT_EQ(text != nullptr ? text : L"<missing>", expected) << name;
    }
}

#else

TEST(ExeResourcesTest, NeedsTheProgram) {
    GTEST_SKIP() << "velmora.exe is not part of this build (no src/app sources)";
}

#endif

}  // namespace
}  // namespace velmora
