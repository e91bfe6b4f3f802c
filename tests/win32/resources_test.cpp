// The resources built into velmora.exe, read back the way Windows reads them:
// the icon the shell shows for the file and the window code loads, the
// manifest the loader applies, and the version information of the file's
// properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "resource_ids.h"

namespace velmora {
namespace {

#ifdef VELMORA_EXE_PATH

const wchar_t kExePath[] = L"" VELMORA_EXE_PATH;
constexpr int kIconSize = 32;
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Owners of the handles the tests open, each closed by its own function.
template <typename Handle, auto Close>
struct Closer {
    void operator()(Handle handle) const { static_cast<void>(Close(handle)); }
};
template <typename Handle, auto Close>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Closer<Handle, Close>>;
using UniqueModule = Unique<HMODULE, ::FreeLibrary>;
using UniqueIcon = Unique<HICON, ::DestroyIcon>;
using UniqueActCtx = Unique<HANDLE, ::ReleaseActCtx>;
using UniqueDc = Unique<HDC, ::DeleteDC>;
using UniqueGdiObject = Unique<HGDIOBJ, ::DeleteObject>;

// Selects an object into a DC for the lifetime of the guard.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selection() { ::SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colour_count;
    BYTE reserved;
    WORD planes;
    WORD bit_count;
    DWORD bytes_in_resource;
    WORD id;
};
#pragma pack(pop)

// The icon's pixel map, top row first; '#' is blue, '.' transparent.
std::vector<std::string> ReadPixelMap() {
    std::ifstream in(VELMORA_ICON_MAP_PATH);
    std::vector<std::string> rows;
    for (std::string row; std::getline(in, row);) {
        if (!row.empty() && row.back() == '\r') row.pop_back();
        rows.push_back(row);
    }
    return rows;
}

// Draws the icon on a 32-bit DIB filled with the ground colour and returns
// the pixels as 0xRRGGBB, top row first; empty if a GDI call fails.
std::vector<std::uint32_t> DrawOnGround(HICON icon, COLORREF ground) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kIconSize;
    info.bmiHeader.biHeight = -kIconSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    const UniqueDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return {};
    void* bits = nullptr;
    const UniqueGdiObject bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueGdiObject brush(::CreateSolidBrush(ground));
    if (!bitmap || !brush) return {};
    const Selection selection(dc.get(), bitmap.get());

    const RECT all{0, 0, kIconSize, kIconSize};
    if (!::FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get())) ||
        !::DrawIconEx(dc.get(), 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL)) {
        return {};
    }
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + kIconSize * kIconSize);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::uint32_t AsDibPixel(COLORREF colour) {
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
           static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

class ExeResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module_.reset(::LoadLibraryExW(kExePath, nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load " << VELMORA_EXE_PATH << ", error "
                             << ::GetLastError();
    }

    std::span<const BYTE> Resource(LPCWSTR type, WORD id) const {
        HRSRC found = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(id), type);
        if (found == nullptr) return {};
        HGLOBAL loaded = ::LoadResource(module_.get(), found);
        const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (data == nullptr) return {};
        return {static_cast<const BYTE*>(data), ::SizeofResource(module_.get(), found)};
    }

    UniqueModule module_;
};

// --- the icon -----------------------------------------------------------------

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<ULONG_PTR>*>(names)->push_back(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}

TEST_F(ExeResourcesTest, TheProgramIconIsTheFirstGroupIcon) {
    // The shell shows the first icon group of the file: names come before
    // numbers, numbers in ascending order.
    std::vector<ULONG_PTR> names;
    ::EnumResourceNamesW(module_.get(), RT_GROUP_ICON, CollectName,
                         reinterpret_cast<LONG_PTR>(&names));
    ASSERT_FALSE(names.empty());
    ASSERT_TRUE(IS_INTRESOURCE(names.front())) << "a named icon group would come first";
    EXPECT_EQ(names.front(), ULONG_PTR{1});
    EXPECT_EQ(names.front(), ULONG_PTR{IDI_VELMORA}) << "resource_ids.h names another icon";
}

TEST_F(ExeResourcesTest, IconGroupHoldsA32x32SixteenColourImage) {
    const auto group = Resource(RT_GROUP_ICON, IDI_VELMORA);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader));
    GroupIconHeader header;
    std::memcpy(&header, group.data(), sizeof(header));
    EXPECT_EQ(header.type, 1);
    ASSERT_EQ(group.size(), sizeof(header) + header.count * sizeof(GroupIconEntry));

    bool found = false;
    for (WORD i = 0; i < header.count && !found; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + sizeof(header) + i * sizeof(entry), sizeof(entry));
        if (entry.width != kIconSize || entry.height != kIconSize || entry.bit_count != 4) continue;
        found = true;
        EXPECT_EQ(entry.colour_count, 16);
        EXPECT_EQ(entry.planes, 1);

        const auto image = Resource(RT_ICON, entry.id);
        ASSERT_EQ(image.size(), entry.bytes_in_resource);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER bitmap;
        std::memcpy(&bitmap, image.data(), sizeof(bitmap));
        EXPECT_EQ(bitmap.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(bitmap.biWidth, kIconSize);
        EXPECT_EQ(bitmap.biHeight, 2 * kIconSize) << "colour bitmap and mask";
        EXPECT_EQ(bitmap.biBitCount, 4);
        // 16 palette entries, 32 rows of 16 bytes of colour, 32 rows of 4 of mask.
        EXPECT_EQ(image.size(), sizeof(bitmap) + 16 * 4 + 32 * 16 + 32 * 4);
    }
    EXPECT_TRUE(found) << "no 32x32 4-bit image in icon group " << IDI_VELMORA;
}

TEST_F(ExeResourcesTest, IconDrawsThePixelMapInBlueOnATransparentGround) {
    const std::vector<std::string> map = ReadPixelMap();
    ASSERT_EQ(map.size(), std::size_t{kIconSize}) << "cannot read " << VELMORA_ICON_MAP_PATH;

    // As the window code loads it.
    UniqueIcon icon(static_cast<HICON>(::LoadImageW(module_.get(), MAKEINTRESOURCEW(IDI_VELMORA),
                                                    IMAGE_ICON, kIconSize, kIconSize, 0)));
    ASSERT_TRUE(icon) << "LoadImage failed, error " << ::GetLastError();

    // Two grounds, so that a transparent pixel cannot pass by matching one.
    for (COLORREF ground : {RGB(255, 255, 255), RGB(0, 128, 0)}) {
        const std::vector<std::uint32_t> pixels = DrawOnGround(icon.get(), ground);
        ASSERT_EQ(pixels.size(), std::size_t{kIconSize * kIconSize});
        std::string differences;
        for (int y = 0; y < kIconSize; ++y) {
            ASSERT_EQ(map[y].size(), std::size_t{kIconSize}) << "map row " << y + 1;
            for (int x = 0; x < kIconSize; ++x) {
                const bool blue = map[y][x] == '#';
                const std::uint32_t expected = AsDibPixel(blue ? kBlue : ground);
                const std::uint32_t actual = pixels[y * kIconSize + x];
                differences += actual == expected ? map[y][x] : 'X';
            }
            differences += '\n';
        }
        EXPECT_EQ(differences.find('X'), std::string::npos)
            << "pixels that differ from the map (X) on ground 0x" << std::hex << ground << ":\n"
            << differences;
    }
}

// --- the manifest -------------------------------------------------------------

// The loader's own parser: a manifest it cannot read would stop the program
// from starting at all.
class ManifestContextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = kExePath;
        request.lpResourceName = MAKEINTRESOURCEW(1);
        HANDLE context = ::CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << "manifest refused, error " << ::GetLastError();
        context_.reset(context);
    }

    std::wstring Setting(LPCWSTR schema, LPCWSTR name) const {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, context_.get(), schema, name, value, 64, &written)) {
            return L"<error " + std::to_wstring(::GetLastError()) + L">";
        }
        return value;
    }

    UniqueActCtx context_;
};

TEST_F(ManifestContextTest, RunLevelIsAsInvoker) {
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION run_level{};
    ASSERT_TRUE(::QueryActCtxW(0, context_.get(), nullptr, RunlevelInformationInActivationContext,
                               &run_level, sizeof(run_level), nullptr))
        << "error " << ::GetLastError();
    EXPECT_EQ(run_level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(run_level.UiAccess);
}

TEST_F(ManifestContextTest, DeclaresPerMonitorDpiAwareness) {
    EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true/pm");
    EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
}

// --- the version information ----------------------------------------------------

class VersionInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(kExePath, &ignored);
        ASSERT_NE(size, 0u) << "no version information, error " << ::GetLastError();
        block_.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoW(kExePath, 0, size, block_.data()));
    }

    // The value at the path, or null.
    const void* Query(const std::wstring& path, UINT* length = nullptr) {
        void* value = nullptr;
        UINT size = 0;
        if (!::VerQueryValueW(block_.data(), path.c_str(), &value, &size)) return nullptr;
        if (length != nullptr) *length = size;
        return value;
    }

    std::wstring Text(const wchar_t* name) {
        const auto* translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation"));
        if (translation == nullptr) return L"<no translation>";
        wchar_t block[9];
        ::swprintf(block, 9, L"%04x%04x", translation[0], translation[1]);
        const auto* text = static_cast<const wchar_t*>(
            Query(std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name));
        return text != nullptr ? text : L"<missing>";
    }

    std::vector<BYTE> block_;
};

TEST_F(VersionInfoTest, FixedInfoIsVersion103OfAnApplication) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD{MAKELONG(0, 1)});  // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD{MAKELONG(0, 3)});  // .3.0
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD{MAKELONG(0, 1)});
    EXPECT_EQ(fixed->dwProductVersionLS, DWORD{MAKELONG(0, 3)});
    EXPECT_EQ(fixed->dwFileType, DWORD{VFT_APP});
}

TEST_F(VersionInfoTest, TextsAreJapaneseAndReadBackIntact) {
    UINT length = 0;
    const auto* translation =
        static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(length, 4u) << "one language";
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);

    EXPECT_EQ(Text(L"FileVersion"), L"1.0.3");
    EXPECT_EQ(Text(L"ProductVersion"), L"1.0.3");
    EXPECT_EQ(Text(L"ProductName"), L"Velmora");
    EXPECT_EQ(Text(L"CompanyName"), L"Velmora developers");
    EXPECT_EQ(Text(L"OriginalFilename"), L"velmora.exe");
    // Texts outside ASCII survive the resource compiler unchanged.
    EXPECT_EQ(Text(L"LegalCopyright"), L"\u00A9 2026 Velmora developers");
    EXPECT_EQ(Text(L"FileDescription"), L"Velmora アンインストール情報の整理");
}

#else

TEST(ExeResourcesTest, NeedsTheProgram) {
    GTEST_SKIP() << "velmora.exe is not part of this build (no src/app sources)";
}

#endif

}  // namespace
}  // namespace velmora
