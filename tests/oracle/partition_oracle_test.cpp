// CellPartition keeps its sets as trees and its labels at the roots; the
// relabelling partition keeps every label flat. Driven by the same operations,
// they must return the same values and give every element the same label.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cell_partition.h"
#include "relabelling_partition.h"

namespace {

class PartitionPair {
public:
    explicit PartitionPair(int capacity) : fast(capacity), reference(capacity), capacity(capacity) {}

    int added() const { return count; }

    void addNext()
    {
        ASSERT_EQ(fast.addCell(count), reference.addCell(count)) << "adding element " << count;
        ++count;
    }

    // Returns the reference's answer, for callers that act on it.
    bool expectSameSet(int a, int b)
    {
        const bool expected = reference.sameSet(a, b);
        EXPECT_EQ(fast.sameSet(a, b), expected) << "sameSet(" << a << ", " << b << ")";
        return expected;
    }

    void expectMerge(int a, int b)
    {
        EXPECT_EQ(fast.merge(a, b), reference.merge(a, b)) << "merge(" << a << ", " << b << ")";
    }

    // Stops at the first element whose label differs, so one fault reports once.
    void expectSameLabels()
    {
        for (int cell = 0; cell < count; ++cell) {
            const int expected = reference.label(cell);
            const int actual = fast.label(cell);
            if (expected != actual) {
                ADD_FAILURE() << "element " << cell << " of " << count << " has label " << actual << ", expected "
                              << expected;
                return;
            }
        }
    }

    // Both refuse an index at or past the capacity, and any add once full.
    void expectAddsRefusedWhenFull()
    {
        EXPECT_EQ(fast.addCell(capacity), reference.addCell(capacity));
        EXPECT_EQ(fast.addCell(capacity + 1000), reference.addCell(capacity + 1000));
        EXPECT_EQ(fast.addCell(capacity - 1), reference.addCell(capacity - 1));
    }

private:
    CellPartition fast;
    RelabellingPartition reference;
    int capacity;
    int count = 0;
};

// Adds interleaved with queries and merges on the elements added so far. The
// merge rate varies per round so that some rounds end in one big set and
// others in many small ones, and merges within one set or of an element with
// itself happen along the way.
TEST(PartitionOracle, RandomOperationSequencesGiveTheSameResultsAndLabels)
{
    std::mt19937 random(4242);
    for (int round = 0; round < 120; ++round) {
        const int capacity = 1 + static_cast<int>(random() % 300);
        const int mergePercent = 5 + static_cast<int>(random() % 60);
        SCOPED_TRACE("round " + std::to_string(round) + ", capacity " + std::to_string(capacity));
        PartitionPair partitions(capacity);
        const int operations = 6 * capacity;
        for (int step = 0; step < operations; ++step) {
            const bool mustAdd = partitions.added() == 0;
            const bool mayAdd = partitions.added() < capacity;
            if (mustAdd || (mayAdd && random() % 4 == 0)) {
                partitions.addNext();
                continue;
            }
            const int a = static_cast<int>(random() % partitions.added());
            const int b = random() % 8 == 0 ? a : static_cast<int>(random() % partitions.added());
            if (static_cast<int>(random() % 100) < mergePercent)
                partitions.expectMerge(a, b);
            else
                partitions.expectSameSet(a, b);
            partitions.expectSameLabels();
            if (testing::Test::HasFailure())
                return;
        }
        while (partitions.added() < capacity)
            partitions.addNext();
        partitions.expectSameLabels();
        partitions.expectAddsRefusedWhenFull();
    }
}

// The carving pattern: every element added first, then merges of neighbours
// in a shuffled order with the second element's set taking the first's label,
// each merge only after a same-set query says the two are apart. Long chains
// of merges are where tree depth and label bookkeeping go wrong.
TEST(PartitionOracle, CarvingLikeMergesOfShuffledNeighboursAgree)
{
    std::mt19937 random(99);
    for (int width : {1, 2, 7, 31, 64}) {
        const int height = 40;
        const int capacity = width * height;
        SCOPED_TRACE("grid " + std::to_string(width) + " x " + std::to_string(height));
        PartitionPair partitions(capacity);
        while (partitions.added() < capacity)
            partitions.addNext();
        std::vector<std::pair<int, int>> neighbours;
        for (int cell = 0; cell < capacity; ++cell) {
            if ((cell + 1) % width != 0)
                neighbours.emplace_back(cell, cell + 1);
            if (cell + width < capacity)
                neighbours.emplace_back(cell, cell + width);
        }
        std::shuffle(neighbours.begin(), neighbours.end(), random);
        for (const auto& [first, second] : neighbours) {
            if (!partitions.expectSameSet(first, second)) {
                partitions.expectMerge(second, first);
                partitions.expectSameLabels();
            }
            if (testing::Test::HasFailure())
                return;
        }
    }
}

}  // namespace
