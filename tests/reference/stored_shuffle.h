// The wall shuffle as first written: a scratch copy of every index, each pick
// swapped to the end of the unpicked region, the whole order stored. The
// order carving makes as it goes, from a scratch of the positions a draw can
// reach, must be exactly this one.
#ifndef STORED_SHUFFLE_H
#define STORED_SHUFFLE_H

// Same contract as shuffleIndices.
int storedShuffleIndices(int* out, int n);

#endif
