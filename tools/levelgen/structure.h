#pragma once
// Structures for generated levels: unit cells built from shape primitives
// (rows, decks, towers, stairs, bridges, rings, hollow cubes, loops that wrap
// round), the faces left open, and the decals on them.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "world/level_writer.h"

// A small deterministic random source: the same seed gives the same numbers
// on every platform (unlike the standard distributions).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    std::uint64_t next();
    // Returns a number in lo..hi, both included.
    int between(int lo, int hi);
    // Returns true with the given chance (0..1).
    bool chance(double p);

private:
    std::uint64_t state_;
};

using Cell = std::tuple<int, int, int>;

// Shape families a structure can be built from.
// Trails and spirals are one path of straight rows, a block wide, that the
// avatar can follow from end to end (each bend joins two rows in the plane
// the avatar rolls round them in); mixed draws on the families before them.
enum class Shape { Rows, Decks, Towers, Stairs, Bridges, Rings, Cubes, Wraps, Trails, Spirals, Mixed };
// Returns the family named by a word ("rows", "decks", ...), or false.
bool parseShape(const std::string& word, Shape& shape);
const char* shapeName(Shape shape);

class Structure {
public:
    // Adds a cell (again is fine); keeps file order.
    void add(int x, int y, int z);
    bool has(int x, int y, int z) const { return index_.count({x, y, z}) != 0; }
    std::size_t size() const { return cells_.size(); }
    const std::vector<Cell>& cells() const { return cells_; }
    // Removes a cell when the rest stays joined face to face.
    bool removeKeepingJoined(const Cell& c);

    // Primitives, each from a start cell.
    void row(Cell from, int dx, int dy, int dz, int length);
    void deck(Cell corner, int width, int depth);                // in the x-z plane
    void tower(Cell foot, int height);
    void stairs(Cell from, int dx, int dz, int steps, int rise);  // forward dx/dz, then up
    void bridge(Cell from, int dx, int dz, int span, int height);
    void ring(Cell corner, int width, int depth, bool upright);  // a closed loop of rows
    void hollowCube(Cell corner, int edge, Random& random, int holes);

    // A path of rows from the start, heading back (-z) first; spiral paths
    // bend the same way round each time and climb between the bends.
    // Returns an empty structure when no path of `blocks` cells was found.
    static Structure trail(int blocks, bool spiral, Random& random);

    // Builds a structure of the family with about `blocks` cells.
    static Structure build(Shape shape, int blocks, Random& random);

    // Whether face f (Direction) of cell c is open (no neighbour on that side).
    bool open(const Cell& c, int f) const;
    // Whether nothing stands where the camera looks at an avatar starting
    // on the top of `start` (heading front): above and behind it.
    bool cameraClear(const Cell& start) const;
    // Number of distinct heights.
    int heights() const;
    // Moves everything so that `c` is at the origin.
    void shiftToOrigin(const Cell& c);

private:
    std::vector<Cell> cells_;
    std::map<Cell, int> index_;
};
