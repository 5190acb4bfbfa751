// How GNU's getopt_long finds the long option a word names, so that the
// programs take what users of GNU tools type: the whole name, or any
// beginning of it that no other option shares.
#ifndef LONG_OPTION_MATCH_H
#define LONG_OPTION_MATCH_H

#include <cstddef>
#include <string>
#include <vector>

struct LongOptionMatch {
    static constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t found = none;          // the index of the option named
    std::vector<std::size_t> sharing;  // when none is found: the options the word begins, in order
};

// written is the word up to any '=', "--" included, as are names: the name
// itself wins, then the one name it begins; several make it ambiguous and no
// name it begins makes it unknown.
LongOptionMatch matchLongOption(const std::string& written, const std::vector<std::string>& names);

#endif
