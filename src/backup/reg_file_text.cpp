#include "backup/reg_file_text.h"

#include "platform/utf16.h"

namespace velmora::backup {
namespace {

using namespace std::string_view_literals;

// The registry editor breaks a line of hex bytes after the comma that takes
// it to this column, and goes on two spaces in on the next.
constexpr std::size_t kHexWrapColumn = 77;
constexpr std::wstring_view kUnwritable = L"\r\n\0"sv;

std::wstring Quoted(std::wstring_view text) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L'"';
}

// REG_SZ data that a quoted text gives back exactly, as its text: whole
// UTF-16 units, ending in the one NUL the import adds, and no line break.
// Anything else is written as bytes: exactly what they spell for an embedded
// NUL or a line break, and as close as a file comes for data without its
// closing NUL (or with an odd byte count), which the import lengthens.
std::optional<std::wstring> PlainString(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    std::wstring text;
    for (std::size_t i = 0; i < data.size(); i += 2) {
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    if (text.back() != L'\0') return std::nullopt;
    text.pop_back();
    if (text.find_first_of(kUnwritable) != std::wstring::npos) return std::nullopt;
    return text;
}

std::wstring HexDigits(std::uint32_t number, int width) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[number & 15]);
        number >>= 4;
    } while (number != 0 || static_cast<int>(digits.size()) < width);
    return digits;
}

void AppendHexBytes(std::wstring& line, const std::vector<std::uint8_t>& data) {
    std::size_t column = line.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        line += HexDigits(data[i], 2);
        if (i + 1 == data.size()) break;
        line += L',';
        column += 3;
        if (column >= kHexWrapColumn) {
            line += L"\\\r\n  ";
            column = 2;
        }
    }
}

std::wstring ValueLine(const platform::WideValue& value) {
    std::wstring line = value.name.empty() ? L"@=" : Quoted(value.name) + L"=";
    if (value.type == platform::kRegSz) {
        if (const auto text = PlainString(value.data)) return line + Quoted(*text) + L"\r\n";
    }
    if (value.type == platform::kRegDword && value.data.size() == 4) {
        const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24);
        return line + L"dword:" + HexDigits(number, 8) + L"\r\n";
    }
    line +=
        value.type == platform::kRegBinary ? L"hex:" : L"hex(" + HexDigits(value.type, 1) + L"):";
    AppendHexBytes(line, value.data);
    return line + L"\r\n";
}

}  // namespace

std::optional<std::wstring> RegFileText(const std::vector<ExportedKey>& keys) {
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n";
    for (const ExportedKey& key : keys) {
        if (key.path.find_first_of(kUnwritable) != std::wstring::npos) return std::nullopt;
        text += L"\r\n[" + key.path + L"]\r\n";
        for (const platform::WideValue& value : key.values) {
            if (value.name.find_first_of(kUnwritable) != std::wstring::npos) return std::nullopt;
            text += ValueLine(value);
        }
    }
    return text + L"\r\n";
}

std::vector<std::uint8_t> RegFileBytes(std::wstring_view text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    platform::AppendUtf16Le(bytes, text);
    return bytes;
}

}  // namespace velmora::backup
