#include "document/NameEncoding.h"

#include <cstdint>

namespace {

// Unicode characters of the bytes 0x80..0x9F. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their Latin-1 value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharacterOfByte(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char ByteOfCharacter(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int k = 0; k < 32; ++k)
        if (kHighControls[k] == c) return static_cast<char>(0x80 + k);
    return '?';
}

// Length of the UTF-8 sequence led by `lead`, 0 when it cannot lead one.
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

} // namespace

std::string NameToUtf8(std::string_view name)
{
    std::string out;
    out.reserve(name.size() * 2);
    for (char byte : name) AppendUtf8(out, CharacterOfByte(static_cast<unsigned char>(byte)));
    return out;
}

std::string NameFromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t k = 0;
    while (k < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[k]);
        const int length = SequenceLength(lead);
        if (length == 0 || k + length > utf8.size()) {
            out += '?';
            ++k;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool wellFormed = true;
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(utf8[k + i]);
            if ((next & 0xC0) != 0x80) {
                wellFormed = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            out += '?';
            ++k;
            continue;
        }
        out += ByteOfCharacter(c);
        k += length;
    }
    return out;
}

char NameByteFromUtf16(char16_t unit)
{
    return ByteOfCharacter(unit);
}
