// carveMaze over the relabelling partition and the stored shuffle: the same
// order and the same visiting rule, so from the same seed it must remove the
// same walls, only in quadratic time.
#ifndef RELABELLING_CARVING_H
#define RELABELLING_CARVING_H

// Carves walls exactly as carveMaze does; fatal levels 1, 2, 3 and 5 at the same sites.
void carveMazeByRelabelling();

#endif
