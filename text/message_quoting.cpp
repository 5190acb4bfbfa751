#include "message_quoting.h"

#include <cstdio>
#include <cstring>

#include "utf8_text.h"

namespace {

// What a shell reads as itself inside double quotes as well as single ones.
bool plainInDoubleQuotes(char character)
{
    const unsigned char byte = static_cast<unsigned char>(character);
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           std::strchr(" %+,-./:@]_'", character) != nullptr;
}

std::string escaped(unsigned char byte)
{
    switch (byte) {
    case '\a': return "\\a";
    case '\b': return "\\b";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\v': return "\\v";
    case '\f': return "\\f";
    case '\r': return "\\r";
    default: {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", byte);
        return octal;
    }
    }
}

}  // namespace

std::string quoted(const std::string& text)
{
    bool printable = true;
    bool holdsQuote = false;
    bool plain = true;
    for (std::size_t at = 0; at < text.size() && printable;) {
        const std::size_t length = printableCharacterLength(text, at);
        printable = length > 0;
        if (length == 1) {
            holdsQuote = holdsQuote || text[at] == '\'';
            plain = plain && plainInDoubleQuotes(text[at]);
        }
        at += length;
    }
    if (printable && !holdsQuote)
        return "'" + text + "'";
    if (printable && plain)
        return "\"" + text + "\"";

    std::string result = "'";
    bool escaping = false;  // inside $'...'
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = printableCharacterLength(text, at);
        if (length == 0) {
            if (!escaping)
                result += "'$'";
            escaping = true;
            result += escaped(static_cast<unsigned char>(text[at]));
            ++at;
            continue;
        }
        if (text[at] == '\'') {
            // Ends the quoting in force, whichever it is, and opens plain quotes after it.
            result += "'\\''";
        } else {
            if (escaping)
                result += "''";
            result.append(text, at, length);
        }
        escaping = false;
        at += length;
    }
    return result + "'";
}
