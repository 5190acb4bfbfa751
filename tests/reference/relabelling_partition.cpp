#include "relabelling_partition.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "zeroed_array.h"

RelabellingPartition::RelabellingPartition(int capacity)
    : count(0), nextLabel(0), labels(allocateZeroed<int>(capacity)), capacity(capacity)
{
    if (labels == nullptr)
        fatalExit(FATAL_PARTITION_ALLOCATION);
}

RelabellingPartition::~RelabellingPartition()
{
    std::free(labels);
}

int RelabellingPartition::addCell(int index)
{
    // The full check refuses an add once every slot is used, which would
    // otherwise write past the label array.
    if (index >= capacity || count >= capacity)
        return -1;
    labels[count] = nextLabel;
    ++count;
    ++nextLabel;
    return nextLabel;
}

bool RelabellingPartition::sameSet(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_SAME_SET_RANGE);
    return labels[a] == labels[b];
}

int RelabellingPartition::merge(int a, int b)
{
    if (a < 0 || a >= capacity || b < 0 || b >= capacity)
        fatalExit(FATAL_MERGE_RANGE);
    const int oldLabel = labels[a];
    for (int i = 0; i < count; ++i) {
        if (labels[i] == oldLabel)
            labels[i] = labels[b];
    }
    return labels[a];
}

int RelabellingPartition::label(int cell) const
{
    return labels[cell];
}
