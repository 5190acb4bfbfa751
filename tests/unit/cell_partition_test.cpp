// The disjoint sets of cells: labels handed out in order, merges that give a
// set the other one's label, and the capacity that every call keeps to.
#include <gtest/gtest.h>

#include <vector>

#include "cell_partition.h"
#include "fatal_exit.h"
#include "fatal_expectation.h"

namespace {

std::vector<int> labelsOf(CellPartition& partition, int cells)
{
    std::vector<int> labels;
    for (int cell = 0; cell < cells; ++cell)
        labels.push_back(partition.label(cell));
    return labels;
}

TEST(CellPartition, CellsAddedInOrderAreLabelledByTheirIndex)
{
    CellPartition partition(4);
    EXPECT_EQ(partition.addCell(0), 1);
    EXPECT_EQ(partition.addCell(1), 2);
    EXPECT_EQ(partition.addCell(2), 3);
    EXPECT_EQ(partition.addCell(3), 4);
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(partition.sameSet(0, 1));
    EXPECT_TRUE(partition.sameSet(2, 2));
}

TEST(CellPartition, AddingBeyondTheCapacityReturnsMinusOneAndChangesNothing)
{
    CellPartition partition(4);
    EXPECT_EQ(partition.addCell(4), -1);  // index at the capacity
    EXPECT_EQ(partition.addCell(0), 1);   // the refused call took no label
    for (int cell = 1; cell < 4; ++cell)
        partition.addCell(cell);
    EXPECT_EQ(partition.addCell(4), -1);  // a fifth cell
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 1, 2, 3}));
}

// The argument is only checked against the capacity, so a full partition
// must refuse even an index it holds rather than write past its end.
TEST(CellPartition, FullPartitionRefusesEvenAnIndexWithinTheCapacity)
{
    CellPartition partition(4);
    for (int cell = 0; cell < 4; ++cell)
        partition.addCell(cell);
    EXPECT_EQ(partition.addCell(0), -1);
    EXPECT_EQ(partition.addCell(3), -1);
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 1, 2, 3}));

    CellPartition empty(0);
    EXPECT_EQ(empty.addCell(0), -1);
}

TEST(CellPartition, MergeGivesTheFirstCellsSetTheSecondCellsLabel)
{
    CellPartition partition(4);
    for (int cell = 0; cell < 4; ++cell)
        partition.addCell(cell);
    EXPECT_EQ(partition.merge(1, 0), 0);
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 0, 2, 3}));
    EXPECT_TRUE(partition.sameSet(0, 1));
    EXPECT_FALSE(partition.sameSet(0, 3));

    EXPECT_EQ(partition.merge(3, 1), 0);
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 0, 2, 0}));
    EXPECT_TRUE(partition.sameSet(3, 0));
    EXPECT_FALSE(partition.sameSet(2, 0));

    // Cells already together: nothing changes, and the set's label comes back.
    EXPECT_EQ(partition.merge(0, 3), 0);
    EXPECT_EQ(labelsOf(partition, 4), (std::vector<int>{0, 0, 2, 0}));
}

// Whichever set is larger, the merged set carries the label of the second
// cell's set.
TEST(CellPartition, LargerSetTakesTheLabelOfASmallerOneNamedSecond)
{
    CellPartition partition(6);
    for (int cell = 0; cell < 6; ++cell)
        partition.addCell(cell);
    EXPECT_EQ(partition.merge(0, 1), 1);
    EXPECT_EQ(partition.merge(2, 3), 3);
    EXPECT_EQ(partition.merge(0, 2), 3);
    EXPECT_EQ(labelsOf(partition, 6), (std::vector<int>{3, 3, 3, 3, 4, 5}));
    EXPECT_EQ(partition.merge(4, 0), 3);
    EXPECT_EQ(labelsOf(partition, 6), (std::vector<int>{3, 3, 3, 3, 3, 5}));
    EXPECT_EQ(partition.merge(1, 5), 5);
    EXPECT_EQ(labelsOf(partition, 6), (std::vector<int>{5, 5, 5, 5, 5, 5}));
    for (int cell = 0; cell < 6; ++cell)
        EXPECT_TRUE(partition.sameSet(cell, 5 - cell)) << cell;
}

TEST(CellPartitionDeathTest, IndexOutsideTheCapacityEndsWithLevel6InSameSetAnd7InMerge)
{
    for (bool merging : {false, true}) {
        for (auto cells : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-1, 0}, std::pair{0, -1}}) {
            SCOPED_TRACE(std::string(merging ? "merge " : "sameSet ") + std::to_string(cells.first) + ", " +
                         std::to_string(cells.second));
            expectFatalExit(
                [cells, merging] {
                    CellPartition partition(4);
                    for (int cell = 0; cell < 4; ++cell)
                        partition.addCell(cell);
                    if (merging)
                        partition.merge(cells.first, cells.second);
                    else
                        partition.sameSet(cells.first, cells.second);
                },
                merging ? FATAL_MERGE_RANGE : FATAL_SAME_SET_RANGE);
        }
    }
}

}  // namespace
