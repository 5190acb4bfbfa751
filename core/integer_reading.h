// Reading a decimal integer as scanf's "%d" does, from the console or from a
// command-line argument alike, so that both refuse the same numbers.
#ifndef INTEGER_READING_H
#define INTEGER_READING_H

#include <cctype>
#include <climits>
#include <cstdio>

// Reads one decimal integer from source (leading white space, an optional
// sign, digits), but without scanf's undefined behaviour on overflow. source
// has int get(), which returns EOF at the end, and void unget(int). A failed
// conversion leaves target untouched and the offending character unread, as
// scanf would. Returns false only when the digits describe a number outside
// the range of int.
template <typename Source>
bool readInteger(Source& source, int& target)
{
    int next = source.get();
    while (next != EOF && std::isspace(next))
        next = source.get();

    bool negative = false;
    if (next == '-' || next == '+') {
        negative = next == '-';
        next = source.get();
    }
    if (next == EOF || !std::isdigit(next)) {
        if (next != EOF)
            source.unget(next);
        return true;
    }

    // Magnitude limit for the sign read: INT_MAX, or INT_MAX + 1 for a negative number.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    bool fits = true;
    while (next != EOF && std::isdigit(next)) {
        if (fits) {
            magnitude = magnitude * 10 + (next - '0');
            fits = magnitude <= limit;
        }
        next = source.get();
    }
    if (next != EOF)
        source.unget(next);
    if (fits)
        target = static_cast<int>(negative ? -magnitude : magnitude);
    return fits;
}

#endif
