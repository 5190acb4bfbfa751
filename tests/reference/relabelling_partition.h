// Quick-find disjoint sets: every element stores its set's label and a merge
// relabels by scanning all elements. Quadratic over a whole maze, but so
// simple that it serves as the oracle for CellPartition and as the benchmark's
// baseline for carving.
#ifndef RELABELLING_PARTITION_H
#define RELABELLING_PARTITION_H

class RelabellingPartition {
public:
    // Room for capacity elements; fatal level 5 when that cannot be allocated.
    explicit RelabellingPartition(int capacity);
    virtual ~RelabellingPartition();

    RelabellingPartition(const RelabellingPartition&) = delete;
    RelabellingPartition& operator=(const RelabellingPartition&) = delete;

    // Gives the next element (position count) the next label. Returns that
    // label plus one, or -1 when index is beyond the capacity or no room is left.
    int addCell(int index);

    // Whether a and b carry one label; fatal level 6 for an index outside the capacity.
    bool sameSet(int a, int b);

    // Relabels a's whole set with b's label and returns a's new label; fatal
    // level 7 for an index outside the capacity.
    int merge(int a, int b);

    // The label element cell carries.
    int label(int cell) const;

private:
    int count;      // elements added so far
    int nextLabel;  // the label the next added element receives
    int* labels;    // labels[i]: the label of element i's set
    int capacity;   // how many elements fit
};

#endif
