// Braiding a carved maze: opening dead ends into a neighbour, so that the maze
// gains loops and more than one way leads through it.
#ifndef BRAIDING_H
#define BRAIDING_H

#include <cstdint>
#include <string>

// A probability from 0 to 1, exactly as its decimal reads to a 64-bit draw:
// an event happens when a draw is below threshold, or always.
struct BraidProbability {
    bool always = false;
    std::uint64_t threshold = 0;

    bool never() const { return !always && threshold == 0; }
};

// Reads a decimal from 0 to 1 (such as 0.5, .25 or 1); false for anything else.
bool readBraidProbability(const std::string& text, BraidProbability& probability);

// Visits the cells row by row; each that is a dead end at that moment is, with
// the probability given, opened into a neighbour it is not joined to: another
// dead end where there is one, else any, among equals at random. Draws from
// the 64-bit random source, and nothing at all when the probability is 0.
void braidMaze(const BraidProbability& probability);

#endif
