#include "braiding.h"

#include <cctype>

#include "carving_grid.h"
#include "wide_random_source.h"

bool readBraidProbability(const std::string& text, BraidProbability& probability)
{
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    auto digitsOnly = [](const std::string& digits) {
        for (char digit : digits) {
            if (!std::isdigit(static_cast<unsigned char>(digit)))
                return false;
        }
        return true;
    };
    if ((whole.empty() && fraction.empty()) || !digitsOnly(whole) || !digitsOnly(fraction))
        return false;
    if (point != std::string::npos && fraction.empty() && whole.empty())
        return false;
    const std::size_t firstDigit = whole.find_first_not_of('0');
    const std::string significant = firstDigit == std::string::npos ? "" : whole.substr(firstDigit);
    const bool fractionZero = fraction.find_first_not_of('0') == std::string::npos;
    if (significant == "1" && fractionZero) {
        probability = BraidProbability{true, 0};
        return true;
    }
    if (!significant.empty())
        return false;
    // The fraction's first 19 digits, a whole number below 2^64, times 2^64
    // over the power of ten they make: the threshold, exact but for digits
    // past the nineteenth.
    const std::size_t used = fraction.size() < 19 ? fraction.size() : 19;
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
    for (std::size_t i = 0; i < used; ++i) {
        numerator = numerator * 10 + static_cast<std::uint64_t>(fraction[i] - '0');
        denominator *= 10;
    }
    probability = BraidProbability{false,
                                   static_cast<std::uint64_t>((static_cast<unsigned __int128>(numerator) << 64) / denominator)};
    return true;
}

namespace {

int openSides(int x, int y)
{
    int open = 0;
    for (int direction = UP; direction <= RIGHT; ++direction) {
        if (insideMaze(x + stepX[direction], y + stepY[direction]) && joinedToward(x, y, direction))
            ++open;
    }
    return open;
}

}  // namespace

void braidMaze(const BraidProbability& probability)
{
    if (probability.never())
        return;
    for (int y = 0; y < mazeHeight; ++y) {
        for (int x = 0; x < mazeWidth; ++x) {
            if (openSides(x, y) != 1)
                continue;
            if (!probability.always && drawWide() >= probability.threshold)
                continue;
            int anyNeighbour[4];
            int deadEndNeighbour[4];
            int any = 0;
            int deadEnds = 0;
            for (int direction = UP; direction <= RIGHT; ++direction) {
                const int neighbourX = x + stepX[direction];
                const int neighbourY = y + stepY[direction];
                if (!insideMaze(neighbourX, neighbourY) || joinedToward(x, y, direction))
                    continue;
                anyNeighbour[any++] = direction;
                if (openSides(neighbourX, neighbourY) == 1)
                    deadEndNeighbour[deadEnds++] = direction;
            }
            if (deadEnds > 0)
                openToward(x, y, deadEndNeighbour[drawNeighbourChoice(deadEnds)]);
            else if (any > 0)
                openToward(x, y, anyNeighbour[drawNeighbourChoice(any)]);
        }
    }
}
