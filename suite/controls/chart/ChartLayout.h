#pragma once

// A tidy top-down layout of a forest (Buchheim, Jünger and Leipert's linear-time form of
// Walker's algorithm): every node is centred over its children, nodes of one level keep at least
// one unit apart, and subtrees are packed as closely as that allows, the trees side by side in
// their order. Linear in the number of nodes, with no recursion, so deep chains are fine.

#include <vector>

namespace perikon::suite::chart {

class ChartLayout
{
public:
    struct Position
    {
        double x = 0;  // in units of the minimum distance; the leftmost node is at 0
        int depth = 0; // 0 for a root
    };

    // `parents[i]` is the parent of node i, or -1 for a root; the parents must form a forest.
    // Children keep the order of their indices, and so do the trees.
    static std::vector<Position> layout(const std::vector<int> &parents);
};

} // namespace perikon::suite::chart
