// Names the user gave, quoted in messages as GNU's tools quote file names, so
// that a message stays one line and no byte of a name acts on the terminal.
#ifndef MESSAGE_QUOTING_H
#define MESSAGE_QUOTING_H

#include <string>

// text in single quotes ('out/maze.png'); in double quotes when it holds a
// single quote and nothing a shell would read inside them ("it's.png"); and
// otherwise as shell words in a row, whatever cannot be shown written as an
// escape of bash's $'...' ('a'$'\n''b.png', 'a'$'\033''[31m.png').
std::string quoted(const std::string& text);

#endif
