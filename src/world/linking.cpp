#include "world/linking.h"

#include <algorithm>
#include <array>

#include "log/console.h"

namespace {

struct Entry {
    std::array<int, 3> key;  // coordinates in the order of the pass
    Block* block;
};

// Links consecutive entries of each line along the innermost key.
void linkLines(const std::vector<Entry>& entries, Direction plus, Direction minus) {
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const Entry& previous = entries[i - 1];
        const Entry& current = entries[i];
        if (previous.key[0] != current.key[0] || previous.key[1] != current.key[1]) continue;
        const long long gap = static_cast<long long>(current.key[2]) - previous.key[2];
        if (gap != 1 && gap != 2) continue;
        console() << (gap == 1 ? "linking " : "backflipping ") << current.key[0] << current.key[1]
                  << current.key[2] << previous.key[2] << std::endl;
        if (gap == 1) {
            previous.block->links[plus] = current.block;
            current.block->links[minus] = previous.block;
        }
    }
}

// Returns the blocks that own their position (the last one read there),
// sorted by (x, y, z).
std::vector<Entry> positionIndex(const std::vector<std::unique_ptr<Block>>& blocks) {
    std::vector<Entry> entries;
    entries.reserve(blocks.size());
    for (const auto& b : blocks) entries.push_back({{b->x, b->y, b->z}, b.get()});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::vector<Entry> owners;
    owners.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (i + 1 == entries.size() || entries[i + 1].key != entries[i].key) owners.push_back(entries[i]);
    return owners;
}

}  // namespace

std::vector<Block*> linkBlocks(std::vector<std::unique_ptr<Block>>& blocks, Block& root) {
    for (std::size_t i = 0; i < blocks.size(); ++i) blocks[i]->index = static_cast<int>(i);
    const std::vector<Entry> byXyz = positionIndex(blocks);

    // (outer, middle, inner) axes of the six passes; the inner axis is linked
    static const int passes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    std::vector<Entry> line(byXyz.size());
    for (const auto& axes : passes) {
        for (std::size_t i = 0; i < byXyz.size(); ++i) {
            const auto& k = byXyz[i].key;
            line[i] = {{k[axes[0]], k[axes[1]], k[axes[2]]}, byXyz[i].block};
        }
        std::sort(line.begin(), line.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
        linkLines(line, axes[2], axes[2] + 3);
    }

    root.mark();
    std::vector<bool> kept(blocks.size(), false);
    bool dropped = false;
    for (const Entry& e : byXyz) {
        if (e.block->finishLoading()) {
            kept[e.block->index] = true;
        } else {
            console() << "WARNING: block " << e.key[0] << e.key[1] << e.key[2]
                      << " is not connected to the root block!" << std::endl;
            dropped = true;
        }
    }
    if (dropped)
        console() << "WARNING: level isn't fully connected, some of the blocks have been discard(ed)ed!!!"
                  << std::endl;

    std::vector<Block*> result;
    for (auto& b : blocks)
        if (kept[b->index]) {
            b->index = static_cast<int>(result.size());
            result.push_back(b.release());
        }
    console() << "Level consists of " << result.size() << " blocks" << std::endl;
    blocks.clear();
    return result;
}
