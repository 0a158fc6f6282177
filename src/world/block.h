#pragma once
// One unit cube of a level: its faces, decals, links to the face-adjacent
// neighbours, the edge kinds the avatar meets, and its quarter-turn state.

#include <cstring>

#include "math/direction.h"

// What a face carries.
struct Decal : FaceCode {
    using FaceCode::FaceCode;
    enum : int { Plain = 0, Blackhole = 1, Collectable = 2, Collected = 3, Goal = 4 };
};

// What the avatar meets leaving face f towards direction d. 0 means "never
// computed" (the two entries on a face's own axis, and covered faces).
struct EdgeKind : FaceCode {
    using FaceCode::FaceCode;
    enum : int { Flat = 1, Convex = 2, Concave = 3, Blackhole = 4, Goal = 6 };
};

// Corner offsets from the block centre: four per face, faces in Direction order.
extern const float faceOffsets[24][3];

// The four texture-atlas quadrants a face can show, (u, v) per corner.
using FaceLook = float[4][2];
extern const FaceLook PlainLook;
extern const FaceLook BlackholeLook;
extern const FaceLook GoalLook;
extern const FaceLook ActiveGoalLook;

// What play changes on a block: the quarter turns that carried its face
// contents round, what was taken and whether the goal is open. The rest of a
// block is fixed at loading or follows from these (its edges and looks).
struct BlockState {
    Decal decals[6] = {};
    bool goalActive = false;
    int rotationStep = 0;
    int rotationCount = 0;

    bool operator==(const BlockState&) const = default;
};

struct Block {
    int index = 0;  // position in Level::blocks and in the level's buffers
    int x = 0, y = 0, z = 0;
    float vertices[24][4] = {};    // corners (x, y, z, 1), four per face
    float texCoords[6][4][2] = {};  // (u, v) per face corner
    Decal decals[6] = {};
    bool visited = false;  // traversal mark; clear between operations
    bool goalActive = false;
    // Neighbour on each side, null where there is none; not owning. Walks go
    // in ascending Direction order.
    Block* links[6] = {};
    EdgeKind edges[6][6] = {};  // row = face, column = direction
    int linkAxis = 3;           // axis shared by all links, 3 when mixed or none
    int rotationStep = 0;       // sense of the last quarter turn: -1, 0, +1
    int rotationCount = 0;      // net positive quarter turns since reset, 0..3

    Block(int index, int x, int y, int z);
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    // Returns the neighbour on side d, or null.
    Block* neighbour(Direction d) const { return links[d]; }

    // Recomputes row f of edges unless face f is covered by a neighbour.
    void updateEdges(Direction f);
    // Set / clear the visited mark over everything reachable from here.
    void mark();
    void unmark();
    // Returns false (and changes nothing) for a block mark() did not reach;
    // otherwise clears the mark and sets looks, linkAxis and edges.
    bool finishLoading();
    // Sets goalActive and opens the first goal face, if any.
    void activateGoal();
    // Restores everything reachable from here to its loaded state; leaves the
    // visited marks set (follow with unmark()).
    void reset();

    // Returns what play has changed on this block.
    BlockState state() const;
    // Returns whether the block stands as `s` describes; the same as
    // state() == s, without building a state (the search asks this of every
    // block at every branch).
    bool holds(const BlockState& s) const {
        return goalActive == s.goalActive && rotationStep == s.rotationStep && rotationCount == s.rotationCount &&
               std::memcmp(decals, s.decals, sizeof decals) == 0;
    }
    // Returns whether the block stands as loaded: unturned, nothing taken, the goal shut.
    bool atRest() const {
        bool taken = false;  // all six looked at, without a branch each
        for (int f = 0; f < 6; ++f) taken |= decals[f] == Decal::Collected;
        return !taken && !goalActive && rotationStep == 0 && rotationCount == 0;
    }
    // Brings this block alone back to its loaded state.
    void restoreLoaded();
    // Makes this block what `s` describes, edges and looks included, as if
    // play had led there from the loaded state.
    void restore(const BlockState& s);

    // Quarter turn about the heading's axis: -90 degrees (left) or +90 degrees
    // (right) about the heading's unit vector. Returns false, printing
    // "ERROR can't rotate along that axis", when the links do not all lie on
    // that axis.
    bool rotateLeft(Direction heading);
    bool rotateRight(Direction heading);
    // One quarter turn of the face contents in the sense of rotationStep.
    void rotateStep();

private:
    // Moves the face contents (decals, and the looks when `looks`) a quarter
    // turn in the sense of rotationStep, leaving the edges as they were.
    void turnContents(bool looks = true);
    // Returns whether no face is a black hole or a goal. Every face of such
    // a block shows the plain look and has its edges from the links alone,
    // so a turn moves nothing but its collectables.
    bool plainFaces() const;
    void setLook(Direction face, const FaceLook& look);
};
