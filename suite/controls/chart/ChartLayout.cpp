#include "suite/controls/chart/ChartLayout.h"

#include <algorithm>
#include <limits>

namespace perikon::suite::chart {
namespace {

// The algorithm's working state. The forest hangs under one virtual root, so the trees are
// spaced like siblings. Nodes are renumbered in preorder (the virtual root is 0), so a subtree's
// nodes lie together in memory: the contour walks then stay in cache on big charts.
class TidyTree
{
public:
    explicit TidyTree(const std::vector<int> &parents)
        : n(int(parents.size()) + 1)
        , root(0)
        , node(size_t(n))
        , side(size_t(n))
        , childStart(size_t(n) + 1, 0)
        , children(size_t(n) - 1)
        , order(size_t(n), -1)
    {
        // Children per node in the given numbering (the virtual root is parents.size()).
        const int virtualRoot = n - 1;
        const auto above = [&](int v) {
            return parents[size_t(v)] < 0 ? virtualRoot : parents[size_t(v)];
        };
        std::vector<int> start(size_t(n) + 1, 0);
        for (int v = 0; v < virtualRoot; ++v)
            ++start[size_t(above(v)) + 1];
        for (int v = 0; v < n; ++v)
            start[size_t(v) + 1] += start[size_t(v)];
        std::vector<int> below(static_cast<size_t>(virtualRoot));
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (int v = 0; v < virtualRoot; ++v)
            below[size_t(fill[size_t(above(v))]++)] = v;

        // Preorder from the virtual root, children in their order.
        std::vector<int> rank(size_t(n), -1);
        std::vector<int> stack{virtualRoot};
        int reached = 0;
        while (!stack.empty()) {
            const int v = stack.back();
            stack.pop_back();
            order[size_t(reached)] = v;
            rank[size_t(v)] = reached++;
            for (int i = start[size_t(v) + 1] - 1; i >= start[size_t(v)]; --i)
                stack.push_back(below[size_t(i)]);
        }
        for (int k = 0; k < reached; ++k) {
            const int v = order[size_t(k)];
            const int first = start[size_t(v)];
            const int count = start[size_t(v) + 1] - first;
            childStart[size_t(k) + 1] = childStart[size_t(k)] + count;
            for (int i = 0; i < count; ++i) {
                const int c = rank[size_t(below[size_t(first + i)])];
                children[size_t(childStart[size_t(k)] + i)] = c;
                node[size_t(c)].parent = k;
                side[size_t(c)].number = i;
            }
            if (count > 0)
                node[size_t(k)].last = children[size_t(childStart[size_t(k)] + count - 1)];
        }
        for (int k = reached; k < n; ++k) // only where the parents were no forest
            childStart[size_t(k) + 1] = childStart[size_t(k)];
        for (int v = 0; v < n; ++v)
            node[size_t(v)].ancestor = v;
    }

    int childCount(int v) const { return childStart[size_t(v) + 1] - childStart[size_t(v)]; }
    int child(int v, int i) const { return children[size_t(childStart[size_t(v)] + i)]; }
    int firstChild(int v) const { return childCount(v) ? child(v, 0) : -1; }
    int lastChild(int v) const { return childCount(v) ? child(v, childCount(v) - 1) : -1; }
    // The contour steps read the node alone: in preorder a node's first child is the next node.
    int nextLeft(int v) const
    {
        const Node &here = node[size_t(v)];
        return here.last >= 0 ? v + 1 : here.thread;
    }
    int nextRight(int v) const
    {
        const Node &here = node[size_t(v)];
        return here.last >= 0 ? here.last : here.thread;
    }
    int leftSibling(int v) const
    {
        return side[size_t(v)].number > 0
                   ? child(node[size_t(v)].parent, side[size_t(v)].number - 1)
                   : -1;
    }
    int leftmostSibling(int v) const { return child(node[size_t(v)].parent, 0); }

    void firstWalk()
    {
        struct Frame
        {
            int v;
            int next; // the next child to walk
            int defaultAncestor;
        };
        std::vector<Frame> stack{{root, 0, firstChild(root)}};
        while (!stack.empty()) {
            Frame &top = stack.back();
            if (top.next < childCount(top.v)) {
                const int w = child(top.v, top.next);
                stack.push_back({w, 0, firstChild(w)});
                continue;
            }
            const int v = top.v;
            finish(v);
            stack.pop_back();
            if (!stack.empty()) {
                Frame &up = stack.back();
                up.defaultAncestor = apportion(v, up.defaultAncestor);
                ++up.next;
            }
        }
    }

    // What the first walk does for v once all its children are placed.
    void finish(int v)
    {
        const int left = v == root ? -1 : leftSibling(v);
        if (childCount(v) == 0) {
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
        for (int i = childCount(v) - 1; i >= 0; --i) {
            const int w = child(v, i);
            node[size_t(w)].prelim += moved;
            node[size_t(w)].mod += moved;
            changing += side[size_t(w)].change;
            moved += side[size_t(w)].shift + changing;
        }
    }

    // Positions in the caller's numbering. In preorder a parent comes before its children, so
    // one pass in rank order sums the modifiers down from the top.
    std::vector<ChartLayout::Position> secondWalk()
    {
        std::vector<ChartLayout::Position> placed(static_cast<size_t>(n - 1));
        // The sum of the modifiers above a node; `change` has served its turn in the first walk.
        side[size_t(root)].change = 0;
        side[size_t(root)].depth = -1;
        double leftmost = std::numeric_limits<double>::max();
        for (int v = 1; v < n; ++v) {
            const int parent = node[size_t(v)].parent;
            if (parent < 0)
                continue; // not reached from the top: the parents were no forest
            Cold &here = side[size_t(v)];
            const Cold &up = side[size_t(parent)];
            here.change = up.change + node[size_t(parent)].mod;
            here.depth = up.depth + 1;
            const double x = node[size_t(v)].prelim + here.change;
            placed[size_t(order[size_t(v)])] = {x, here.depth};
            leftmost = std::min(leftmost, x);
        }
        for (ChartLayout::Position &p : placed)
            p.x -= leftmost;
        return placed;
    }

    const int n;
    const int root;
    // What the contour walks read per node, together and small: on a big chart they jump
    // between distant subtrees, and every node a cache line brings in saves a trip to memory.
    struct Node
    {
        double prelim = 0;
        double mod = 0;
        int parent = -1;
        int thread = -1;
        int ancestor = 0;
        int last = -1; // the last child, -1 for a leaf
    };
    // What only the shifts and the final pass read.
    struct Cold
    {
        double shift = 0;
        double change = 0;
        int number = 0; // among its siblings
        int depth = 0;
    };
    std::vector<Node> node;
    std::vector<Cold> side;
    std::vector<int> childStart;
    std::vector<int> children;
    std::vector<int> order; // preorder rank -> the caller's number
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
