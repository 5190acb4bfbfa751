// The wall test answered the slow, obvious way: scan the wall list from its
// first record until one names the pair. It assumes nothing about how the list
// is laid out, so it is the yardstick for the indexed wallBetween and the
// baseline the benchmark measures it against.
#ifndef LINEAR_WALL_SCAN_H
#define LINEAR_WALL_SCAN_H

// Same contract as wallBetween: the present flag of the first record joining
// (x1, y1) and (x2, y2), or 1 when no record does or the list is empty.
unsigned char scanWallBetween(int x1, int y1, int x2, int y2);

#endif
