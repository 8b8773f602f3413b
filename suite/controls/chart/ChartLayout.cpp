#include "suite/controls/chart/ChartLayout.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace perikon::suite::chart {
namespace {

// The algorithm's working state. The forest hangs under one virtual root, so the trees are
// spaced like siblings.
//
// Nodes are renumbered in postorder, children from left to right, the virtual root last. Then
// the first walk is one pass up the numbers, a node's last child is the number just below it,
// and a subtree's nodes lie together in memory, so the contour walks stay in cache. The state is
// built in the one pass that numbers the nodes and holds no more than the walks read: on big
// charts the time goes to memory traffic, so every byte per node counts.
class TidyTree
{
public:
    explicit TidyTree(const std::vector<int> &parents)
        : n(int(parents.size()) + 1)
        , root(n - 1)
        , node(std::make_unique_for_overwrite<Node[]>(size_t(n)))
        , side(std::make_unique_for_overwrite<Side[]>(size_t(n)))
        , order(std::make_unique_for_overwrite<int[]>(size_t(n)))
    {
        // Children per node in the given numbering (the virtual root is parents.size()):
        // after the fill, node v's children are below[end(v - 1) .. end(v)).
        const int virtualRoot = n - 1;
        const auto above = [&](int v) {
            return parents[size_t(v)] < 0 ? virtualRoot : parents[size_t(v)];
        };
        std::vector<int> end(size_t(n), 0);
        for (int v = 0; v < virtualRoot; ++v)
            ++end[size_t(above(v))];
        for (int v = 1; v < n; ++v)
            end[size_t(v)] += end[size_t(v) - 1];
        const auto below = std::make_unique_for_overwrite<int[]>(size_t(virtualRoot) + 1);
        for (int v = virtualRoot - 1; v >= 0; --v)
            below[size_t(--end[size_t(above(v))])] = v;
        // Now end(v) is where v's children begin; v + 1's begin is where they end.
        const auto childrenOf = [&](int v) {
            return std::pair{end[size_t(v)], v + 1 < n ? end[size_t(v) + 1] : virtualRoot};
        };

        // A preorder that takes the children from right to left numbers every node from the top
        // down: read backwards it is the postorder wanted. A node meets its right siblings first.
        struct Visit
        {
            int v;
            int parent; // its new number
        };
        std::vector<Visit> stack;
        stack.reserve(64);
        stack.push_back({virtualRoot, -1});
        int next = n - 1;
        while (!stack.empty()) {
            const Visit at = stack.back();
            stack.pop_back();
            const int k = next--;
            order[size_t(k)] = at.v;
            node[size_t(k)] = {0.0, 0.0, at.parent, -1, k, -1};
            side[size_t(k)] = {0.0, 0.0, -1, 0, -1};
            if (at.parent >= 0) {
                const int right = node[size_t(at.parent)].first;
                if (right >= 0) {
                    side[size_t(right)].left = k;
                    // Only differences between siblings' numbers count.
                    side[size_t(k)].number = side[size_t(right)].number - 1;
                }
                node[size_t(at.parent)].first = k;
            }
            const auto [begin, stop] = childrenOf(at.v);
            for (int i = begin; i < stop; ++i)
                stack.push_back({below[size_t(i)], k});
        }
        lowest = next + 1; // above 0 only where the parents were no forest
    }

    int firstChild(int v) const { return node[size_t(v)].first; }
    // In postorder a node's last child is the node before it.
    int lastChild(int v) const { return node[size_t(v)].first >= 0 ? v - 1 : -1; }
    // The contour steps read the node alone.
    int nextLeft(int v) const
    {
        const Node &here = node[size_t(v)];
        return here.first >= 0 ? here.first : here.thread;
    }
    int nextRight(int v) const
    {
        const Node &here = node[size_t(v)];
        return here.first >= 0 ? v - 1 : here.thread;
    }
    int leftSibling(int v) const { return side[size_t(v)].left; }
    int leftmostSibling(int v) const { return node[size_t(node[size_t(v)].parent)].first; }

    // Every node once its children are placed, and then against its left siblings.
    void firstWalk()
    {
        for (int v = lowest; v < n; ++v) {
            finish(v);
            if (v == root)
                break;
            int &defaultAncestor = side[size_t(node[size_t(v)].parent)].defaultAncestor;
            if (defaultAncestor < 0)
                defaultAncestor = v; // the first child
            defaultAncestor = apportion(v, defaultAncestor);
        }
    }

    // What the first walk does for v once all its children are placed.
    void finish(int v)
    {
        const int left = v == root ? -1 : leftSibling(v);
        if (firstChild(v) < 0) {
            node[size_t(v)].prelim = left >= 0 ? node[size_t(left)].prelim + 1.0 : 0.0;
            return;
        }
        executeShifts(v);
        const double midpoint
            = (node[size_t(firstChild(v))].prelim + node[size_t(lastChild(v))].prelim) / 2;
        if (left >= 0) {
            node[size_t(v)].prelim = node[size_t(left)].prelim + 1.0;
            node[size_t(v)].mod = node[size_t(v)].prelim - midpoint;
        } else {
            node[size_t(v)].prelim = midpoint;
        }
    }

    int apportion(int v, int defaultAncestor)
    {
        const int w = leftSibling(v);
        if (w < 0)
            return defaultAncestor;
        int vip = v;
        int vop = v;
        int vim = w;
        int vom = leftmostSibling(vip);
        double sip = node[size_t(vip)].mod;
        double sop = node[size_t(vop)].mod;
        double sim = node[size_t(vim)].mod;
        double som = node[size_t(vom)].mod;
        while (nextRight(vim) >= 0 && nextLeft(vip) >= 0) {
            vim = nextRight(vim);
            vip = nextLeft(vip);
            vom = nextLeft(vom);
            vop = nextRight(vop);
            node[size_t(vop)].ancestor = v;
            const double gap
                = (node[size_t(vim)].prelim + sim) - (node[size_t(vip)].prelim + sip) + 1.0;
            if (gap > 0) {
                moveSubtree(ancestorOf(vim, v, defaultAncestor), v, gap);
                sip += gap;
                sop += gap;
            }
            sim += node[size_t(vim)].mod;
            sip += node[size_t(vip)].mod;
            som += node[size_t(vom)].mod;
            sop += node[size_t(vop)].mod;
        }
        if (nextRight(vim) >= 0 && nextRight(vop) < 0) {
            node[size_t(vop)].thread = nextRight(vim);
            node[size_t(vop)].mod += sim - sop;
        }
        if (nextLeft(vip) >= 0 && nextLeft(vom) < 0) {
            node[size_t(vom)].thread = nextLeft(vip);
            node[size_t(vom)].mod += sip - som;
            defaultAncestor = v;
        }
        return defaultAncestor;
    }

    int ancestorOf(int vim, int v, int defaultAncestor) const
    {
        const int a = node[size_t(vim)].ancestor;
        return node[size_t(a)].parent == node[size_t(v)].parent ? a : defaultAncestor;
    }

    void moveSubtree(int wm, int wp, double amount)
    {
        const double subtrees = side[size_t(wp)].number - side[size_t(wm)].number;
        side[size_t(wp)].change -= amount / subtrees;
        side[size_t(wp)].shift += amount;
        side[size_t(wm)].change += amount / subtrees;
        node[size_t(wp)].prelim += amount;
        node[size_t(wp)].mod += amount;
    }

    void executeShifts(int v)
    {
        double moved = 0;
        double changing = 0;
        for (int w = lastChild(v); w >= 0; w = leftSibling(w)) {
            node[size_t(w)].prelim += moved;
            node[size_t(w)].mod += moved;
            changing += side[size_t(w)].change;
            moved += side[size_t(w)].shift + changing;
        }
    }

    // Positions in the caller's numbering. Down the numbers a parent comes before its children,
    // so one pass sums the modifiers from the top. Each node's `mod` becomes the sum of its own
    // and those above it, and its `thread`, done with, its depth.
    std::vector<ChartLayout::Position> secondWalk()
    {
        std::vector<ChartLayout::Position> placed(static_cast<size_t>(n - 1));
        node[size_t(root)].thread = -1;
        double leftmost = std::numeric_limits<double>::max();
        for (int v = root - 1; v >= lowest; --v) {
            Node &here = node[size_t(v)];
            const Node &up = node[size_t(here.parent)];
            const double x = here.prelim + up.mod;
            here.mod += up.mod;
            here.thread = up.thread + 1;
            placed[size_t(order[size_t(v)])] = {x, here.thread};
            leftmost = std::min(leftmost, x);
        }
        for (ChartLayout::Position &p : placed)
            p.x -= leftmost;
        return placed;
    }

    const int n;
    const int root;
    int lowest = 0;
    // What the contour walks read per node, together and small.
    struct Node
    {
        double prelim;
        double mod;
        int parent;
        int thread;
        int ancestor;
        int first; // the first child, -1 for a leaf
    };
    // What only the shifts read, and the walk over a node's children.
    struct Side
    {
        double shift;
        double change;
        int left;            // the left sibling, -1 for a first child
        int number;          // among its siblings, counted down from the right
        int defaultAncestor; // while its children are apportioned
    };
    std::unique_ptr<Node[]> node;
    std::unique_ptr<Side[]> side;
    std::unique_ptr<int[]> order; // new number -> the caller's number
};

} // namespace

std::vector<ChartLayout::Position> ChartLayout::layout(const std::vector<int> &parents)
{
    if (parents.empty())
        return {};
    TidyTree tree(parents);
    tree.firstWalk();
    return tree.secondWalk();
}

} // namespace perikon::suite::chart
