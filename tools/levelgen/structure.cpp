#include "levelgen/structure.h"

#include <algorithm>
#include <set>

namespace {

constexpr int kSide[6][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};

Cell moved(const Cell& c, int dx, int dy, int dz) {
    return {std::get<0>(c) + dx, std::get<1>(c) + dy, std::get<2>(c) + dz};
}

const char* const kShapeNames[] = {"rows",  "decks",  "towers",  "stairs",  "bridges", "rings",
                                   "cubes", "wraps", "trails", "spirals", "mixed"};
constexpr int kShapes = static_cast<int>(Shape::Mixed) + 1;

}  // namespace

std::uint64_t Random::next() {
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::between(int lo, int hi) {
    if (hi <= lo) return lo;
    return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
}

bool Random::chance(double p) { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0) < p; }

bool parseShape(const std::string& word, Shape& shape) {
    for (int i = 0; i < kShapes; ++i)
        if (word == kShapeNames[i]) {
            shape = static_cast<Shape>(i);
            return true;
        }
    return false;
}

const char* shapeName(Shape shape) { return kShapeNames[static_cast<int>(shape)]; }

void Structure::add(int x, int y, int z) {
    const Cell c{x, y, z};
    if (index_.emplace(c, static_cast<int>(cells_.size())).second) cells_.push_back(c);
}

bool Structure::removeKeepingJoined(const Cell& c) {
    if (!index_.count(c) || c == Cell{0, 0, 0}) return false;
    std::set<Cell> rest(cells_.begin(), cells_.end());
    rest.erase(c);
    if (rest.empty()) return false;
    std::set<Cell> seen{*rest.begin()};
    std::vector<Cell> todo{*rest.begin()};
    while (!todo.empty()) {
        const Cell at = todo.back();
        todo.pop_back();
        for (const auto& d : kSide) {
            const Cell n = moved(at, d[0], d[1], d[2]);
            if (rest.count(n) && seen.insert(n).second) todo.push_back(n);
        }
    }
    if (seen.size() != rest.size()) return false;
    cells_.erase(std::find(cells_.begin(), cells_.end(), c));
    index_.clear();
    for (std::size_t i = 0; i < cells_.size(); ++i) index_[cells_[i]] = static_cast<int>(i);
    return true;
}

void Structure::row(Cell from, int dx, int dy, int dz, int length) {
    for (int i = 0; i < length; ++i) {
        const Cell c = moved(from, dx * i, dy * i, dz * i);
        add(std::get<0>(c), std::get<1>(c), std::get<2>(c));
    }
}

void Structure::deck(Cell corner, int width, int depth) {
    for (int i = 0; i < width; ++i) row(moved(corner, i, 0, 0), 0, 0, -1, depth);
}

void Structure::tower(Cell foot, int height) { row(foot, 0, 1, 0, height); }

void Structure::stairs(Cell from, int dx, int dz, int steps, int rise) {
    Cell at = from;
    for (int s = 0; s < steps; ++s) {
        row(at, dx, 0, dz, 2);
        at = moved(at, dx, 0, dz);
        row(at, 0, 1, 0, rise + 1);
        at = moved(at, 0, rise, 0);
    }
}

void Structure::bridge(Cell from, int dx, int dz, int span, int height) {
    tower(from, height + 1);
    const Cell top = moved(from, 0, height, 0);
    row(top, dx, 0, dz, span + 1);
    tower(moved(top, dx * span, -height, dz * span), height + 1);
}

void Structure::ring(Cell corner, int width, int depth, bool upright) {
    // upright rings stand in the x-y plane: the avatar wraps over and under them
    const int ax = 1, bx = 0, by = upright ? 1 : 0, bz = upright ? 0 : -1;
    row(corner, ax, 0, 0, width);
    row(corner, bx, by, bz, depth);
    const Cell far = moved(corner, bx * (depth - 1), by * (depth - 1), bz * (depth - 1));
    row(far, ax, 0, 0, width);
    row(moved(corner, width - 1, 0, 0), bx, by, bz, depth);
}

void Structure::hollowCube(Cell corner, int edge, Random& random, int holes) {
    for (int i = 0; i < edge; ++i)
        for (int j = 0; j < edge; ++j)
            for (int k = 0; k < edge; ++k) {
                const bool shell = i == 0 || j == 0 || k == 0 || i == edge - 1 || j == edge - 1 || k == edge - 1;
                if (shell) add(std::get<0>(corner) + i, std::get<1>(corner) + j, std::get<2>(corner) - k);
            }
    for (int tries = 0; holes > 0 && tries < holes * 10; ++tries) {
        const Cell c = moved(corner, random.between(0, edge - 1), random.between(0, edge - 1),
                             -random.between(0, edge - 1));
        if (c != corner && removeKeepingJoined(c)) --holes;
    }
}

bool Structure::open(const Cell& c, int f) const {
    return !has(std::get<0>(c) + kSide[f][0], std::get<1>(c) + kSide[f][1], std::get<2>(c) + kSide[f][2]);
}

bool Structure::cameraClear(const Cell& start) const {
    // The camera starts behind and above the avatar, about 1 up and 2.5
    // back from it: nothing may stand between.
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = 1; dy <= 3; ++dy)
            for (int dz = 0; dz <= 4; ++dz)
                if (has(std::get<0>(start) + dx, std::get<1>(start) + dy, std::get<2>(start) + dz)) return false;
    return true;
}

int Structure::heights() const {
    std::set<int> ys;
    for (const Cell& c : cells_) ys.insert(std::get<1>(c));
    return static_cast<int>(ys.size());
}

void Structure::shiftToOrigin(const Cell& c) {
    const auto [ox, oy, oz] = c;
    std::vector<Cell> old = cells_;
    cells_.clear();
    index_.clear();
    // the start block first, then the rest in their order
    add(0, 0, 0);
    for (const Cell& o : old) add(std::get<0>(o) - ox, std::get<1>(o) - oy, std::get<2>(o) - oz);
}

Structure Structure::trail(int blocks, bool spiral, Random& random) {
    Structure s;
    std::vector<Cell> path{{0, 0, 0}};
    s.add(0, 0, 0);
    // A cell may touch (by face, edge or corner) only the cells just before
    // it on the path, so rows never lean on each other: the avatar meets a
    // wall only in the bends. The camera's view of the start stays clear.
    auto free = [&](const Cell& c) {
        const auto [x, y, z] = c;
        if (x >= -1 && x <= 1 && y >= 1 && y <= 3 && z >= 0 && z <= 4) return false;
        if (z > 0 && y >= 0 && x >= -1 && x <= 1) return false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    const Cell n = moved(c, dx, dy, dz);
                    if (!s.has(std::get<0>(n), std::get<1>(n), std::get<2>(n))) continue;
                    // the last two cells of the path (the corner and the one before it) may touch
                    const auto last = std::find(path.end() - std::min<std::ptrdiff_t>(2, static_cast<std::ptrdiff_t>(path.size())), path.end(), n);
                    if (last == path.end()) return false;
                }
        return true;
    };
    int axis = 5;      // -z first
    int lastFlat = 5;  // the last row on the flat
    int turn = random.chance(0.5) ? 1 : -1;
    const int flat[4] = {0, 2, 3, 5};  // +x, +z, -x, -z: a quarter turn round is the next entry
    for (int segment = 0, guard = 0; static_cast<int>(s.size()) < blocks && guard < 400; ++guard) {
        int dir = axis;
        if (segment > 0) {
            if (spiral) {
                // round the same way on the flat, a quarter turn from the
                // last flat row; most bends climb first
                const bool wasFlat = axis != 1 && axis != 4;
                const int at = static_cast<int>(std::find(flat, flat + 4, lastFlat) - flat);
                dir = flat[(at + turn + 4) % 4];
                if (wasFlat && random.chance(0.7)) dir = random.chance(0.8) ? 1 : 4;
            } else {
                do dir = random.between(0, 5);
                while (dir % 3 == axis % 3);
                if ((dir == 1 || dir == 4) && random.chance(0.3)) dir = flat[random.between(0, 3)];
            }
        }
        const bool vertical = dir == 1 || dir == 4;
        // large paths have longer rows, so a line across them needs no more
        // turns than one across a small path
        const int rowLength = vertical ? random.between(2, 3)
                                       : blocks >= 60 ? random.between(5, 9) : random.between(3, 6);
        const int length = std::min(blocks - static_cast<int>(s.size()), rowLength);
        std::vector<Cell> cells;
        Cell at = path.back();
        const std::vector<Cell> before = path;
        for (int i = 0; i < length; ++i) {
            at = moved(at, kSide[dir][0], kSide[dir][1], kSide[dir][2]);
            if (!free(at)) break;
            cells.push_back(at);
            path.push_back(at);
            s.add(std::get<0>(at), std::get<1>(at), std::get<2>(at));
        }
        if (static_cast<int>(cells.size()) < std::min(length, 2)) {
            // undo a row that ran into the path at once
            for (auto c = cells.rbegin(); c != cells.rend(); ++c) s.removeKeepingJoined(*c);
            path = before;
            continue;
        }
        axis = dir;
        if (dir != 1 && dir != 4) lastFlat = dir;
        ++segment;
    }
    if (static_cast<int>(s.size()) < blocks) return {};
    return s;
}

Structure Structure::build(Shape shape, int blocks, Random& random) {
    if (shape == Shape::Trails || shape == Shape::Spirals) {
        for (int guard = 0; guard < 50; ++guard) {
            Structure s = trail(blocks, shape == Shape::Spirals, random);
            if (s.size() > 0) return s;
        }
    }
    Structure s;
    s.row({0, 0, 0}, 0, 0, -1, random.between(3, 5));
    const int horizontal[4] = {0, 2, 3, 5};
    for (int guard = 0; static_cast<int>(s.size()) < blocks && guard < 400; ++guard) {
        const int left = blocks - static_cast<int>(s.size());
        const Cell anchor = s.cells_[random.between(0, static_cast<int>(s.size()) - 1)];
        const int side = horizontal[random.between(0, 3)];
        const int dx = kSide[side][0], dz = kSide[side][2];
        Shape pick = shape;
        if (shape == Shape::Mixed) pick = static_cast<Shape>(random.between(0, 7));
        // rows tie the primitives together in every family
        if (pick != Shape::Rows && random.chance(0.3)) pick = Shape::Rows;
        const Cell start = moved(anchor, dx, 0, dz);
        if (s.has(std::get<0>(start), std::get<1>(start), std::get<2>(start))) continue;
        switch (pick) {
        case Shape::Rows:
            if (random.chance(0.15))
                s.row(moved(anchor, 0, 1, 0), 0, 1, 0, std::min(left, random.between(2, 4)));
            else
                s.row(start, dx, 0, dz, std::min(left, random.between(2, 7)));
            break;
        case Shape::Decks: {
            const int w = std::min(random.between(2, 4), std::max(1, left / 2));
            const int d = std::max(1, std::min(random.between(2, 5), left / w));
            const Cell up = moved(anchor, 0, random.chance(0.5) ? 2 : -2, 0);
            s.tower(moved(anchor, 0, std::get<1>(up) > std::get<1>(anchor) ? 1 : -1, 0), 1);
            s.deck(moved(up, 0, 0, 0), w, d);
            break;
        }
        case Shape::Towers:
            s.tower(start, std::min(left, random.between(3, 6)));
            break;
        case Shape::Stairs:
            s.stairs(start, dx, dz, std::max(1, std::min(random.between(2, 3), left / 3)), 1);
            break;
        case Shape::Bridges:
            s.bridge(start, dx, dz, std::max(2, std::min(random.between(3, 6), left - 4)), random.between(2, 3));
            break;
        case Shape::Rings:
            s.ring(start, random.between(3, 5), random.between(3, 5), false);
            break;
        case Shape::Cubes:
            if (left >= 20)
                s.hollowCube(start, 3, random, random.between(2, 6));
            else
                s.row(start, dx, 0, dz, std::min(left, 4));
            break;
        case Shape::Wraps:
            s.ring(start, random.between(2, 4), random.between(3, 5), true);
            break;
        case Shape::Trails:
        case Shape::Spirals:  // built whole above; here only when no path fitted
            s.row(start, dx, 0, dz, std::min(left, random.between(2, 7)));
            break;
        case Shape::Mixed:
            break;
        }
    }
    // over the size: take cells off again where the rest stays joined
    for (int guard = 0; static_cast<int>(s.size()) > blocks && guard < 2000; ++guard)
        s.removeKeepingJoined(s.cells_[random.between(1, static_cast<int>(s.size()) - 1)]);
    // the avatar starts on an open top face with a block ahead of it, in
    // view of the camera
    std::vector<Cell> starts;
    for (const Cell& c : s.cells_)
        if (s.open(c, 1) && s.has(std::get<0>(c), std::get<1>(c), std::get<2>(c) - 1) &&
            s.open(moved(c, 0, 0, -1), 1) && s.cameraClear(c))
            starts.push_back(c);
    if (!starts.empty()) s.shiftToOrigin(starts[random.between(0, static_cast<int>(starts.size()) - 1)]);
    return s;
}
