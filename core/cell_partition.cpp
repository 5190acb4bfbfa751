#include "cell_partition.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "zeroed_array.h"

CellPartition::CellPartition(int capacity)
    : count(0),
      nextLabel(0),
      links(allocateZeroed<int>(capacity)),
      ranks(allocateZeroed<unsigned char>(capacity)),
      capacity(capacity)
{
    if (links == nullptr || ranks == nullptr)
        fatalExit(FATAL_PARTITION_ALLOCATION);
}

CellPartition::~CellPartition()
{
    std::free(links);
    std::free(ranks);
}

unsigned long long CellPartition::bytesFor(long long capacity)
{
    return capacity > 0 ? static_cast<unsigned long long>(capacity) * (sizeof(int) + sizeof(unsigned char)) : 0;
}

// Cells not yet added keep their zero fill, a link to cell 0: until they are
// added they count as members of cell 0's set. Cell 0 itself, before it is
// added, links to itself and so is a root, of label 0.
int CellPartition::root(int cell)
{
    // Path halving: every other cell on the way up skips to its grandparent.
    while (links[cell] >= 0 && links[cell] != cell) {
        const int parent = links[cell];
        const int grandparent = links[parent];
        if (grandparent >= 0 && grandparent != parent)
            links[cell] = grandparent;
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
    const int mergedLabel = links[rootB] < 0 ? -links[rootB] - 1 : 0;
    if (rootA != rootB)
        link(rootA, rootB);
    return mergedLabel;
}

int CellPartition::label(int cell)
{
    const int top = root(cell);
    return links[top] < 0 ? -links[top] - 1 : 0;
}
