// Zero-filled heap arrays, the only kind of allocation the maze data uses.
#ifndef ZEROED_ARRAY_H
#define ZEROED_ARRAY_H

#include <cstdlib>

// A zero-filled array of count elements, released with std::free; nullptr when
// count is negative or memory runs out. An empty array is a valid allocation,
// not a failure, so a 1 x 1 maze with no walls and no moves still runs.
template <typename Element>
Element* allocateZeroed(long long count)
{
    if (count < 0)
        return nullptr;
    return static_cast<Element*>(std::calloc(count == 0 ? 1 : static_cast<std::size_t>(count), sizeof(Element)));
}

#endif
