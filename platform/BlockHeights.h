#pragma once

#include <QtGlobal>
#include <vector>

// The heights of a document's blocks in block order, each measured or estimated, with the sums
// that place them: the top of a block, the block at a height and the whole height, in O(log n)
// however many blocks come and go. The heights are kept in runs of a few hundred blocks; Fenwick
// trees over the runs sum their heights and count their blocks.
class BlockHeights {
public:
    struct Height {
        qreal value = 0;       // from the top of the space above the block to its bottom
        qreal above = 0;       // the space above its first line, part of `value`
        bool measured = false; // laid out, not estimated
    };

    int Count() const { return m_count; }
    const Height &At(int block) const;
    void Set(int block, const Height &height);
    // The sum of the heights of the blocks before `block`, for 0 <= block <= Count().
    qreal Top(int block) const;
    qreal Total() const;
    // The block whose height spans `y`: the first block above the top, the last below the end.
    int BlockAt(qreal y) const;
    // Replaces the `removed` heights from `first` on with `added`.
    void Replace(int first, int removed, const std::vector<Height> &added);

private:
    struct Run {
        std::vector<Height> heights;
        qreal sum = 0;
    };
    struct Place {
        int run;
        int index;
    };

    Place Locate(int block) const;
    void SplitLongRun(int run);
    void RebuildTrees();
    void AddToTrees(int run, int count, qreal sum);

    std::vector<Run> m_runs;
    std::vector<int> m_countTree; // 1-based Fenwick trees over m_runs
    std::vector<qreal> m_sumTree;
    int m_count = 0;
};
