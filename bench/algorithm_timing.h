// Carving with each algorithm beside Kruskal's, in one process per algorithm:
//   maze_bench --algorithms [WxH...]          (2000x2000 unless sizes are given)
// prints, per size and algorithm,
//   WxH ALGORITHM carve_ms=... kruskal_ms=... ratio=... own_bytes_per_cell=...
//       counted_bytes_per_cell=... solution_share=...
// carve_ms and kruskal_ms the medians of three carvings each, taken in turn
// (the algorithm, then Kruskal's, and again), ratio the first over the second,
// own_bytes_per_cell what the carving held beside the wall list at its peak,
// counted_bytes_per_cell what the memory check counts for it, and
// solution_share the solution's cells over all cells.
#ifndef ALGORITHM_TIMING_H
#define ALGORITHM_TIMING_H

// Measures one algorithm at one size, in this process; 0, or 1 for an unknown name.
int measureAlgorithm(const char* name, int width, int height);

#endif
