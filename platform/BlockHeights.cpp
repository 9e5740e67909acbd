#include "platform/BlockHeights.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace {

// Long enough that the trees stay small, short enough that walking a run is quick.
constexpr std::size_t kRunLength = 256;

qreal SumOf(const std::vector<BlockHeights::Height> &heights, std::size_t count) {
    return std::accumulate(heights.begin(), heights.begin() + qsizetype(count), qreal(0),
                           [](qreal sum, const BlockHeights::Height &h) { return sum + h.value; });
}

template <class T> T Prefix(const std::vector<T> &tree, int runs) {
    T sum = 0;
    for (int i = runs; i > 0; i -= i & -i)
        sum += tree[i];
    return sum;
}

// The number of leading runs whose running total stays at or below `limit`; `rest` is what is
// left of it past them.
template <class T> int RunsWithin(const std::vector<T> &tree, T limit, T *rest) {
    int runs = 0;
    const int size = int(tree.size());
    if (size < 2) {
        *rest = limit;
        return 0;
    }
    for (int step = int(std::bit_floor(tree.size() - 1)); step > 0; step >>= 1) {
        const int next = runs + step;
        if (next < size && tree[next] <= limit) {
            runs = next;
            limit -= tree[next];
        }
    }
    *rest = limit;
    return runs;
}

} // namespace

BlockHeights::Place BlockHeights::Locate(int block) const {
    int rest = 0;
    const int run = RunsWithin(m_countTree, block, &rest);
    return {run, rest};
}

const BlockHeights::Height &BlockHeights::At(int block) const {
    const Place place = Locate(block);
    return m_runs[place.run].heights[place.index];
}

void BlockHeights::Set(int block, const Height &height) {
    const Place place = Locate(block);
    Run &run = m_runs[place.run];
    const qreal change = height.value - run.heights[place.index].value;
    run.heights[place.index] = height;
    run.sum += change;
    AddToTrees(place.run, 0, change);
}

qreal BlockHeights::Top(int block) const {
    if (block >= m_count)
        return Total();
    const Place place = Locate(block);
    return Prefix(m_sumTree, place.run) + SumOf(m_runs[place.run].heights, place.index);
}

qreal BlockHeights::Total() const {
    return Prefix(m_sumTree, int(m_runs.size()));
}

int BlockHeights::BlockAt(qreal y) const {
    if (m_count == 0 || y <= 0)
        return 0;
    qreal rest = 0;
    const int run = RunsWithin(m_sumTree, y, &rest);
    if (run >= int(m_runs.size()))
        return m_count - 1;
    const int first = Prefix(m_countTree, run);
    const std::vector<Height> &heights = m_runs[run].heights;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        if (rest < heights[i].value)
            return first + int(i);
        rest -= heights[i].value;
    }
    return first + int(heights.size()) - 1;
}

void BlockHeights::Replace(int first, int removed, const std::vector<Height> &added) {
    Q_ASSERT(first >= 0 && removed >= 0 && first + removed <= m_count);
    if (m_runs.empty())
        m_runs.emplace_back();
    const Place at = first < m_count
                         ? Locate(first)
                         : Place{int(m_runs.size()) - 1, int(m_runs.back().heights.size())};
    int run = at.run;
    int index = at.index;
    for (int left = removed; left > 0;) {
        std::vector<Height> &heights = m_runs[run].heights;
        const int taken = std::min(left, int(heights.size()) - index);
        heights.erase(heights.begin() + index, heights.begin() + index + taken);
        left -= taken;
        if (left > 0) {
            ++run;
            index = 0;
        }
    }
    std::vector<Height> &target = m_runs[at.run].heights;
    target.insert(target.begin() + at.index, added.begin(), added.end());
    m_count += int(added.size()) - removed;

    const qreal oldSum = m_runs[at.run].sum;
    for (int r = at.run; r <= run; ++r)
        m_runs[r].sum = SumOf(m_runs[r].heights, m_runs[r].heights.size());
    if (run == at.run && !target.empty() && target.size() <= 2 * kRunLength &&
        m_countTree.size() == m_runs.size() + 1) {
        AddToTrees(at.run, int(added.size()) - removed, m_runs[at.run].sum - oldSum);
        return;
    }
    SplitLongRun(at.run);
    std::erase_if(m_runs, [](const Run &r) { return r.heights.empty(); });
    RebuildTrees();
}

void BlockHeights::SplitLongRun(int run) {
    if (m_runs[run].heights.size() <= 2 * kRunLength)
        return;
    const std::vector<Height> all = std::move(m_runs[run].heights);
    std::vector<Run> pieces;
    for (std::size_t from = 0; from < all.size(); from += kRunLength) {
        Run piece;
        piece.heights.assign(all.begin() + qsizetype(from),
                             all.begin() + qsizetype(std::min(from + kRunLength, all.size())));
        piece.sum = SumOf(piece.heights, piece.heights.size());
        pieces.push_back(std::move(piece));
    }
    m_runs.erase(m_runs.begin() + run);
    m_runs.insert(m_runs.begin() + run, std::make_move_iterator(pieces.begin()),
                  std::make_move_iterator(pieces.end()));
}

void BlockHeights::RebuildTrees() {
    const std::size_t size = m_runs.size() + 1;
    m_countTree.assign(size, 0);
    m_sumTree.assign(size, 0);
    for (std::size_t i = 1; i < size; ++i) {
        m_countTree[i] += int(m_runs[i - 1].heights.size());
        m_sumTree[i] += m_runs[i - 1].sum;
        const std::size_t parent = i + (i & -i);
        if (parent < size) {
            m_countTree[parent] += m_countTree[i];
            m_sumTree[parent] += m_sumTree[i];
        }
    }
}

void BlockHeights::AddToTrees(int run, int count, qreal sum) {
    for (std::size_t i = std::size_t(run) + 1; i < m_countTree.size(); i += i & -i) {
        m_countTree[i] += count;
        m_sumTree[i] += sum;
    }
}
