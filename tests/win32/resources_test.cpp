// The resources built into velmora.exe, read back the way Windows reads them:
// the icon, the manifest the loader applies, and the version information of
// the file's properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
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

// Icon group 1, the one the shell and the window show, holds a 32x32 image
// of 16 colours that draws the pixel map: '#' blue, '.' transparent.
TEST(ExeResourcesTest, IconGroupOneDrawsThePixelMapInSixteenColours) {
    const Unique<HMODULE, ::FreeLibrary> module(::LoadLibraryExW(
        kExePath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module) << "cannot load " << VELMORA_EXE_PATH << ", error " << ::GetLastError();
    const auto group = Resource(module.get(), RT_GROUP_ICON, 1);
    ASSERT_FALSE(group.empty()) << "no icon group 1";
    const int id = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, kIconSize,
                                                 kIconSize, LR_DEFAULTCOLOR);
    const auto image = Resource(module.get(), RT_ICON, static_cast<WORD>(id));
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
    EXPECT_EQ(header->biWidth, kIconSize);
    EXPECT_EQ(header->biHeight, 2 * kIconSize) << "colour bitmap and mask";
    EXPECT_EQ(header->biBitCount, 4);

    const Unique<HICON, ::DestroyIcon> icon(
        ::CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), image.size(), TRUE, 0x00030000,
                                   kIconSize, kIconSize, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon) << "error " << ::GetLastError();
    // On green, so that neither a white nor a black ground passes for transparent.
    const COLORREF ground = RGB(0, 128, 0);
    const std::vector<std::uint32_t> pixels = DrawOnGround(icon.get(), ground);
    ASSERT_EQ(pixels.size(), std::size_t{kIconSize * kIconSize});
    std::ifstream in(VELMORA_ICON_MAP_PATH);
    std::string expected, actual;
    for (std::string row; std::getline(in, row);) expected += row.substr(0, kIconSize) + "\n";
    for (int i = 0; i < kIconSize * kIconSize; ++i) {
        actual += pixels[i] == 0x0000FF ? '#' : pixels[i] == 0x008000 ? '.' : 'X';
        if (i % kIconSize == kIconSize - 1) actual += '\n';
    }
    EXPECT_EQ(actual, expected) << "the icon as drawn ('X': neither blue nor the ground)";
}

// The loader's own parser reads the manifest: one it cannot read would stop
// the program from starting at all.
TEST(ExeResourcesTest, ManifestRunsAsInvokerAwareOfEachMonitorsDpi) {
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
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
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

TEST(ExeResourcesTest, VersionIs103WithItsJapaneseTextsIntact) {
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
    const DWORD one = MAKELONG(0, 1), three = MAKELONG(0, 3);  // 1.0 and .3.0
    EXPECT_EQ((std::vector{fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                           fixed->dwProductVersionMS, fixed->dwProductVersionLS}),
              (std::vector{one, three, one, three}));
    // Japanese texts, code page 932, read back unchanged from the resource compiler.
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
    const std::pair<const wchar_t*, std::wstring> texts[] = {
        {L"FileVersion", L"1.0.3"},
        {L"ProductVersion", L"1.0.3"},
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
