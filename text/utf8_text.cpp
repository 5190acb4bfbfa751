#include "utf8_text.h"

std::size_t printableCharacterLength(const std::string& text, std::size_t at)
{
    const auto byteAt = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byteAt(at);
    if (lead < 0x80)
        return lead >= 0x20 && lead < 0x7f ? 1 : 0;
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t shortestFrom = 0;  // below this, the sequence is an overlong form of a shorter one
    if ((lead & 0xe0) == 0xc0) {
        length = 2;
        codePoint = lead & 0x1f;
        shortestFrom = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3;
        codePoint = lead & 0x0f;
        shortestFrom = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4;
        codePoint = lead & 0x07;
        shortestFrom = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    for (std::size_t index = at + 1; index < at + length; ++index) {
        if ((byteAt(index) & 0xc0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (byteAt(index) & 0x3f);
    }
    const bool wellFormed = codePoint >= shortestFrom && codePoint <= 0x10ffff &&
                            (codePoint < 0xd800 || codePoint > 0xdfff);
    const bool control = codePoint < 0xa0;  // C1, which terminals act on as they do on ESC sequences
    const bool noncharacter = (codePoint >= 0xfdd0 && codePoint <= 0xfdef) || (codePoint & 0xfffe) == 0xfffe;
    return wellFormed && !control && !noncharacter ? length : 0;
}

std::string printableText(const std::string& text)
{
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = printableCharacterLength(text, at);
        if (length == 0) {
            result += "\xef\xbf\xbd";
            ++at;
        } else {
            result.append(text, at, length);
            at += length;
        }
    }
    return result;
}
