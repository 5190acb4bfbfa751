#include "long_option_match.h"

LongOptionMatch matchLongOption(const std::string& written, const std::vector<std::string>& names)
{
    LongOptionMatch match;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (names[index] == written) {
            match.found = index;
            match.sharing.clear();
            return match;
        }
        if (names[index].compare(0, written.size(), written) == 0)
            match.sharing.push_back(index);
    }
    if (match.sharing.size() == 1) {
        match.found = match.sharing.front();
        match.sharing.clear();
    }
    return match;
}
