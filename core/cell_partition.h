// The disjoint sets of cells that carving uses to tell whether two cells are
// already connected.
#ifndef CELL_PARTITION_H
#define CELL_PARTITION_H

#include "fatal_exit.h"

// Cells are added in index order, each starting in a set of its own whose
// label is its index. Sets are kept as trees joined by rank with path
// halving; a set's label lives in its root's link, so a merge costs almost
// nothing instead of a pass over every cell, and a cell takes five bytes.
class CellPartition {
public:
    // Room for capacity cells; fatal level 5 when that cannot be allocated.
    explicit CellPartition(int capacity);
    virtual ~CellPartition();

    CellPartition(const CellPartition&) = delete;
    CellPartition& operator=(const CellPartition&) = delete;

    // Adds the next cell (its index is the number added so far; the argument
    // is only checked against the capacity). Returns the label given plus one,
    // or -1 when the index is beyond the capacity or the partition is full.
    int addCell(int index)
    {
        if (index >= capacity || count >= capacity)
            return -1;
        links[count] = -(nextLabel + 1);
        ++count;
        ++nextLabel;
        return nextLabel;
    }

    // Whether cells a and b are in one set; fatal level 6 for an index outside the capacity.
    bool sameSet(int a, int b);

    // Joins the sets of a and b under b's label and returns that label; fatal
    // level 7 for an index outside the capacity.
    int merge(int a, int b);

    // The same as merge(a, b) when !sameSet(a, b), in one lookup of each
    // cell; returns whether the sets were apart. Carving asks this of two
    // billion walls, so it lives here, where it can be inlined.
    bool mergeIfApart(int a, int b)
    {
        if (a < 0 || a >= capacity || b < 0 || b >= capacity)
            fatalExit(FATAL_MERGE_RANGE);
        const int rootA = count == capacity ? rootOfAdded(a) : root(a);
        const int rootB = count == capacity ? rootOfAdded(b) : root(b);
        if (rootA == rootB)
            return false;
        link(rootA, rootB);
        return true;
    }

    // The label of the set holding cell.
    int label(int cell);

    // Hints that cell is about to be looked up, so that a caller walking cells
    // in random order can overlap the memory latency of several lookups.
    void prefetch(int cell) const { __builtin_prefetch(&links[cell]); }

    // The bytes a partition of the given capacity allocates.
    static unsigned long long bytesFor(long long capacity);

private:
    int root(int cell);

    // root() once every cell is added: no cell then links to itself, and the
    // halving needs no test.
    int rootOfAdded(int cell)
    {
        for (;;) {
            const int parent = links[cell];
            if (parent < 0)
                return cell;
            const int grandparent = links[parent];
            links[cell] = grandparent >= 0 ? grandparent : parent;
            cell = parent;
        }
    }

    // Joins two distinct roots' sets under the label of the second's.
    void link(int rootA, int rootB)
    {
        const int mergedLabel = links[rootB] < 0 ? -links[rootB] - 1 : 0;
        const bool underA = ranks[rootA] >= ranks[rootB];
        const int newRoot = underA ? rootA : rootB;
        const int child = underA ? rootB : rootA;
        ranks[newRoot] = static_cast<unsigned char>(ranks[newRoot] + (ranks[rootA] == ranks[rootB] ? 1 : 0));
        links[child] = newRoot;
        links[newRoot] = -(mergedLabel + 1);
    }

    int count;              // cells added so far
    int nextLabel;          // the label the next added cell receives
    int* links;             // per cell: its parent, or at a root minus one less than its set's label
    unsigned char* ranks;   // per cell: meaningful at a root, a bound on its tree's height
    int capacity;           // how many cells the partition can hold
};

#endif
