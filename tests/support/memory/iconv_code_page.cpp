#include "support/memory/iconv_code_page.h"

#include <cerrno>
#include <stdexcept>
#include <vector>

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

// Runs the whole input through the descriptor.  At a unit that does not
// convert, the replacement goes out and the unit is skipped.
template <typename In, typename Out>
std::basic_string<Out> Convert(iconv_t descriptor, std::basic_string_view<In> input,
                               Out replacement) {
    std::basic_string<Out> output;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    auto* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * sizeof(In);
    std::vector<Out> chunk(input.size() + 16);
    while (inLeft > 0) {
        auto* out = reinterpret_cast<char*>(chunk.data());
        std::size_t outLeft = chunk.size() * sizeof(Out);
        const std::size_t converted = iconv(descriptor, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        output.append(chunk.data(), chunk.size() - outLeft / sizeof(Out));
        if (converted != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): skip one unit.
        output.push_back(replacement);
        in += sizeof(In);
        inLeft -= sizeof(In);
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
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
    return Convert<char, wchar_t>(toWide_.get(), bytes, replacement_);
}

std::string IconvCodePage::ToNarrow(std::wstring_view text) const {
    return Convert<wchar_t, char>(toNarrow_.get(), text, '?');
}

}  // namespace velmora::platform::memory
