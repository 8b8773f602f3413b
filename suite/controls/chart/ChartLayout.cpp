#include "suite/controls/chart/ChartLayout.h"

#include <algorithm>
#include <limits>

namespace perikon::suite::chart {
namespace {

// The algorithm's working state. The forest hangs under one virtual root (the last node), so the
// trees are spaced like siblings; children are stored contiguously per parent.
class TidyTree
{
public:
    explicit TidyTree(const std::vector<int> &parents)
        : n(int(parents.size()) + 1)
        , root(int(parents.size()))
        , parent(size_t(n), -1)
        , childStart(size_t(n) + 1, 0)
        , children(size_t(n) - 1)
        , number(size_t(n), 0)
        , prelim(size_t(n), 0)
        , mod(size_t(n), 0)
        , shift(size_t(n), 0)
        , change(size_t(n), 0)
        , thread(size_t(n), -1)
        , ancestor(size_t(n))
    {
        for (int v = 0; v < root; ++v)
            parent[size_t(v)] = parents[size_t(v)] < 0 ? root : parents[size_t(v)];
        for (int v = 0; v < root; ++v)
            ++childStart[size_t(parent[size_t(v)]) + 1];
        for (int v = 0; v < n; ++v)
            childStart[size_t(v) + 1] += childStart[size_t(v)];
        std::vector<int> fill(childStart.begin(), childStart.end() - 1);
        for (int v = 0; v < root; ++v) {
            const int p = parent[size_t(v)];
            number[size_t(v)] = fill[size_t(p)] - childStart[size_t(p)];
            children[size_t(fill[size_t(p)]++)] = v;
        }
        for (int v = 0; v < n; ++v)
            ancestor[size_t(v)] = v;
    }

    int childCount(int v) const { return childStart[size_t(v) + 1] - childStart[size_t(v)]; }
    int child(int v, int i) const { return children[size_t(childStart[size_t(v)] + i)]; }
    int firstChild(int v) const { return childCount(v) ? child(v, 0) : -1; }
    int lastChild(int v) const { return childCount(v) ? child(v, childCount(v) - 1) : -1; }
    int nextLeft(int v) const { return childCount(v) ? firstChild(v) : thread[size_t(v)]; }
    int nextRight(int v) const { return childCount(v) ? lastChild(v) : thread[size_t(v)]; }
    int leftSibling(int v) const
    {
        return number[size_t(v)] > 0 ? child(parent[size_t(v)], number[size_t(v)] - 1) : -1;
    }
    int leftmostSibling(int v) const { return child(parent[size_t(v)], 0); }

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
            prelim[size_t(v)] = left >= 0 ? prelim[size_t(left)] + 1.0 : 0.0;
            return;
        }
        executeShifts(v);
        const double midpoint = (prelim[size_t(firstChild(v))] + prelim[size_t(lastChild(v))]) / 2;
        if (left >= 0) {
            prelim[size_t(v)] = prelim[size_t(left)] + 1.0;
            mod[size_t(v)] = prelim[size_t(v)] - midpoint;
        } else {
            prelim[size_t(v)] = midpoint;
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
        double sip = mod[size_t(vip)];
        double sop = mod[size_t(vop)];
        double sim = mod[size_t(vim)];
        double som = mod[size_t(vom)];
        while (nextRight(vim) >= 0 && nextLeft(vip) >= 0) {
            vim = nextRight(vim);
            vip = nextLeft(vip);
            vom = nextLeft(vom);
            vop = nextRight(vop);
            ancestor[size_t(vop)] = v;
            const double gap = (prelim[size_t(vim)] + sim) - (prelim[size_t(vip)] + sip) + 1.0;
            if (gap > 0) {
                moveSubtree(ancestorOf(vim, v, defaultAncestor), v, gap);
                sip += gap;
                sop += gap;
            }
            sim += mod[size_t(vim)];
            sip += mod[size_t(vip)];
            som += mod[size_t(vom)];
            sop += mod[size_t(vop)];
        }
        if (nextRight(vim) >= 0 && nextRight(vop) < 0) {
            thread[size_t(vop)] = nextRight(vim);
            mod[size_t(vop)] += sim - sop;
        }
        if (nextLeft(vip) >= 0 && nextLeft(vom) < 0) {
            thread[size_t(vom)] = nextLeft(vip);
            mod[size_t(vom)] += sip - som;
            defaultAncestor = v;
        }
        return defaultAncestor;
    }

    int ancestorOf(int vim, int v, int defaultAncestor) const
    {
        const int a = ancestor[size_t(vim)];
        return parent[size_t(a)] == parent[size_t(v)] ? a : defaultAncestor;
    }

    void moveSubtree(int wm, int wp, double amount)
    {
        const double subtrees = number[size_t(wp)] - number[size_t(wm)];
        change[size_t(wp)] -= amount / subtrees;
        shift[size_t(wp)] += amount;
        change[size_t(wm)] += amount / subtrees;
        prelim[size_t(wp)] += amount;
        mod[size_t(wp)] += amount;
    }

    void executeShifts(int v)
    {
        double moved = 0;
        double changing = 0;
        for (int i = childCount(v) - 1; i >= 0; --i) {
            const int w = child(v, i);
            prelim[size_t(w)] += moved;
            mod[size_t(w)] += moved;
            changing += change[size_t(w)];
            moved += shift[size_t(w)] + changing;
        }
    }

    std::vector<ChartLayout::Position> secondWalk() const
    {
        std::vector<ChartLayout::Position> placed(static_cast<size_t>(root));
        struct Frame
        {
            int v;
            double modSum;
            int depth;
        };
        std::vector<Frame> stack;
        for (int i = childCount(root) - 1; i >= 0; --i)
            stack.push_back({child(root, i), mod[size_t(root)], 0});
        double leftmost = std::numeric_limits<double>::max();
        while (!stack.empty()) {
            const Frame f = stack.back();
            stack.pop_back();
            const double x = prelim[size_t(f.v)] + f.modSum;
            placed[size_t(f.v)] = {x, f.depth};
            leftmost = std::min(leftmost, x);
            for (int i = childCount(f.v) - 1; i >= 0; --i)
                stack.push_back({child(f.v, i), f.modSum + mod[size_t(f.v)], f.depth + 1});
        }
        for (ChartLayout::Position &p : placed)
            p.x -= leftmost;
        return placed;
    }

    const int n;
    const int root;
    std::vector<int> parent;
    std::vector<int> childStart;
    std::vector<int> children;
    std::vector<int> number;
    std::vector<double> prelim;
    std::vector<double> mod;
    std::vector<double> shift;
    std::vector<double> change;
    std::vector<int> thread;
    std::vector<int> ancestor;
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
