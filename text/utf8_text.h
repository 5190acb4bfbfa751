// Text read as UTF-8, the encoding of file names and terminals on the systems
// these programs run on, to tell what can be shown as it stands from what must
// be escaped or replaced before it reaches a terminal or a file's metadata.
#ifndef UTF8_TEXT_H
#define UTF8_TEXT_H

#include <cstddef>
#include <string>

// The bytes of the character that starts at text[at] when a terminal shows it
// as a glyph: printable ASCII, or a well-formed UTF-8 sequence of a code point
// past the C1 controls that is neither a surrogate nor a noncharacter. 0 for
// a control character, a stray, truncated or overlong byte sequence, and
// anything else, which is then taken a byte at a time.
std::size_t printableCharacterLength(const std::string& text, std::size_t at);

// text with each byte that starts no printable character replaced by U+FFFD,
// the replacement character: valid UTF-8 without controls, which every
// picture format's metadata (XML, PNG's text chunks, PDF) accepts.
std::string printableText(const std::string& text);

#endif
