#include "cell_partition.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "zeroed_array.h"

CellPartition::CellPartition(int capacity)
    : count(0), nextLabel(0), entries(allocateZeroed<Entry>(capacity)), capacity(capacity)
{
    if (entries == nullptr)
        fatalExit(FATAL_PARTITION_ALLOCATION);
}

CellPartition::~CellPartition()
{
    std::free(entries);
}

int CellPartition::addCell(int index)
{
    if (index >= capacity || count >= capacity)
        return -1;
    entries[count] = Entry{-1, nextLabel};
    ++count;
    ++nextLabel;
    return nextLabel;
}

// Cells not yet added keep their zero fill, a link to cell 0: until they are
// added they count as members of cell 0's set. Cell 0 itself, before it is
// added, links to itself and so is a root.
int CellPartition::root(int cell)
{
    // Path halving: every other cell on the way up skips to its grandparent.
    while (entries[cell].link >= 0 && entries[cell].link != cell) {
        const int parent = entries[cell].link;
        const int grandparent = entries[parent].link;
        if (grandparent >= 0 && grandparent != parent)
            entries[cell].link = grandparent;
        cell = parent;
    }
    return cell;
}

bool CellPartition::sameSet(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_SAME_SET_RANGE);
    // Every set has one root, and no two roots share a label.
    return root(a) == root(b);
}

int CellPartition::merge(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_MERGE_RANGE);
    const int rootA = root(a);
    const int rootB = root(b);
    if (rootA == rootB)
        return entries[rootA].label;
    // The smaller tree goes under the larger one; the joined set takes b's label.
    const int mergedLabel = entries[rootB].label;
    const int sizeA = entries[rootA].link < 0 ? -entries[rootA].link : 1;
    const int sizeB = entries[rootB].link < 0 ? -entries[rootB].link : 1;
    const int newRoot = sizeA >= sizeB ? rootA : rootB;
    const int child = sizeA >= sizeB ? rootB : rootA;
    entries[child].link = newRoot;
    entries[newRoot].link = -(sizeA + sizeB);
    entries[newRoot].label = mergedLabel;
    return mergedLabel;
}

int CellPartition::label(int cell)
{
    return entries[root(cell)].label;
}

void CellPartition::prefetch(int cell) const
{
    __builtin_prefetch(&entries[cell]);
}
