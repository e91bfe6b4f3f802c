#include "support/memory/iconv_code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace velmora::platform::memory {

namespace {

std::string IconvName(unsigned codePage) {
    switch (codePage) {
        case 65001:
            return "UTF-8";
        default:
            return "CP" + std::to_string(codePage);
    }
}

wchar_t ReplacementFor(unsigned codePage) {
    switch (codePage) {
        case 932:
            return L'\u30FB';
        case 65001:
            return L'\uFFFD';
        default:
            return L'?';
    }
}

// The look-alike Windows' best-fit tables give a character the code page
// lacks, for the characters tests use: accented Latin letters as their bare
// letter (code pages 932 and 950), full-width ASCII as ASCII (1252).  Zero
// when there is none.  U+00A5 needs no entry: iconv's CP932 itself maps it
// to 0x5C, as Windows' best fit does.
char BestFit(wchar_t character) {
    static constexpr char kLatin1[] =
        "AAAAAA?CEEEEIIII?NOOOOO??UUUUY??aaaaaa?ceeeeiiii?nooooo??uuuuy?y";
    const auto point = static_cast<std::uint32_t>(character);
    if (point >= 0xC0 && point <= 0xFF) {
        const char bare = kLatin1[point - 0xC0];
        return bare == '?' ? 0 : bare;
    }
    if (point >= 0xFF01 && point <= 0xFF5E) return static_cast<char>(point - 0xFEE0);
    return 0;
}

// Runs the whole input through the descriptor, straight into the result,
// which starts with room for the longest one (a wide character per byte, four
// bytes per wide character).  At a unit that does not convert, what `replace`
// gives for it goes out and the unit is skipped; when it gives nothing, the
// conversion fails.
template <typename In, typename Out, typename Replace>
std::optional<std::basic_string<Out>> Convert(iconv_t descriptor, std::basic_string_view<In> input,
                                              Replace replace) {
    std::basic_string<Out> output(input.size() * (sizeof(Out) == 1 ? 4 : 1) + 16, Out{});
    std::size_t used = 0;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    auto* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * sizeof(In);
    while (inLeft > 0) {
        auto* out = reinterpret_cast<char*>(output.data() + used);
        std::size_t outLeft = (output.size() - used) * sizeof(Out);
        const std::size_t converted = iconv(descriptor, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        used = output.size() - outLeft / sizeof(Out);
        if (converted != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG || used == output.size()) output.resize(output.size() * 2);
        if (error == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): replace one unit.
        const std::optional<Out> replacement = replace(*reinterpret_cast<const In*>(in));
        if (!replacement) return std::nullopt;
        output[used++] = *replacement;
        in += sizeof(In);
        inLeft -= sizeof(In);
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    output.resize(used);
    return output;
}

// Every Windows code page, and UTF-8, keeps ASCII as it is: such a text needs
// no trip through iconv.
template <typename Out, typename In>
std::optional<std::basic_string<Out>> AsciiOnly(std::basic_string_view<In> text) {
    if (!std::all_of(text.begin(), text.end(),
                     [](In c) { return static_cast<std::uint32_t>(c) < 0x80; }))
        return std::nullopt;
    return std::basic_string<Out>(text.begin(), text.end());
}

}  // namespace

IconvDescriptor::IconvDescriptor(const char* to, const char* from)
    : descriptor_(iconv_open(to, from)) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
}

IconvDescriptor::~IconvDescriptor() { iconv_close(descriptor_); }

IconvCodePage::IconvCodePage(unsigned codePage)
    : replacement_(ReplacementFor(codePage)),
      toWide_("WCHAR_T", IconvName(codePage).c_str()),
      toNarrow_(IconvName(codePage).c_str(), "WCHAR_T") {}

std::wstring IconvCodePage::ToWide(std::string_view bytes) const {
    if (auto ascii = AsciiOnly<wchar_t>(bytes)) return std::move(*ascii);
    return *Convert<char, wchar_t>(toWide_.get(), bytes,
                                   [this](char) { return std::optional<wchar_t>(replacement_); });
}

std::string IconvCodePage::ToNarrow(std::wstring_view text) const {
    if (auto ascii = AsciiOnly<char>(text)) return std::move(*ascii);
    return *Convert<wchar_t, char>(toNarrow_.get(), text, [](wchar_t character) {
        const char bare = BestFit(character);
        return std::optional<char>(bare != 0 ? bare : '?');
    });
}

// iconv maps a few characters one way only (U+00A5 to 0x5C in CP932, which
// comes back as U+005C): only a text that converts back to itself is exact.
std::optional<std::string> IconvCodePage::ToNarrowExactly(std::wstring_view text) const {
    if (auto ascii = AsciiOnly<char>(text)) return ascii;
    auto bytes = Convert<wchar_t, char>(toNarrow_.get(), text,
                                        [](wchar_t) { return std::optional<char>(); });
    if (!bytes || ToWide(*bytes) != text) return std::nullopt;
    return bytes;
}

}  // namespace velmora::platform::memory
