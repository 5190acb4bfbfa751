#include "cell_partition.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "zeroed_array.h"

CellPartition::CellPartition(int capacity)
    : count(0),
      nextLabel(0),
      labels(allocateZeroed<int>(capacity)),
      parents(allocateZeroed<int>(capacity)),
      sizes(allocateZeroed<int>(capacity)),
      capacity(capacity)
{
    if (labels == nullptr || parents == nullptr || sizes == nullptr)
        fatalExit(FATAL_PARTITION_ALLOCATION);
}

CellPartition::~CellPartition()
{
    std::free(labels);
    std::free(parents);
    std::free(sizes);
}

int CellPartition::addCell(int index)
{
    if (index >= capacity || count >= capacity)
        return -1;
    // Cells not yet added keep the zero fill: parent 0, so they count as
    // members of cell 0's set, whose label starts at 0 like theirs.
    parents[count] = count;
    sizes[count] = 1;
    labels[count] = nextLabel;
    ++count;
    ++nextLabel;
    return nextLabel;
}

int CellPartition::root(int cell)
{
    // Path halving: every other cell on the way up skips to its grandparent.
    while (parents[cell] != cell) {
        parents[cell] = parents[parents[cell]];
        cell = parents[cell];
    }
    return cell;
}

bool CellPartition::sameSet(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_SAME_SET_RANGE);
    return labels[root(a)] == labels[root(b)];
}

int CellPartition::merge(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_MERGE_RANGE);
    const int rootA = root(a);
    const int rootB = root(b);
    if (rootA == rootB)
        return labels[rootA];
    // The smaller tree goes under the larger one; the joined set takes b's label.
    const int mergedLabel = labels[rootB];
    const bool aIsLarger = sizes[rootA] >= sizes[rootB];
    const int newRoot = aIsLarger ? rootA : rootB;
    const int child = aIsLarger ? rootB : rootA;
    parents[child] = newRoot;
    sizes[newRoot] += sizes[child];
    labels[newRoot] = mergedLabel;
    return mergedLabel;
}

int CellPartition::label(int cell)
{
    return labels[root(cell)];
}
