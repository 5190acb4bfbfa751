#include "stored_shuffle.h"

#include <cstdlib>

#include "random_source.h"
#include "zeroed_array.h"

int storedShuffleIndices(int* out, int n)
{
    int* scratch = allocateZeroed<int>(n);
    if (scratch == nullptr)
        return -1;
    for (int i = 0; i < n; ++i)
        scratch[i] = i;
    int remaining = n;
    for (int i = 0; i < n; ++i) {
        const int k = drawRandom() % remaining;
        out[i] = scratch[k];
        const int last = n - 1 - i;
        const int picked = scratch[k];
        scratch[k] = scratch[last];
        scratch[last] = picked;
        --remaining;
    }
    std::free(scratch);
    return 0;
}
