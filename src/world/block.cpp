#include "world/block.h"

#include <vector>

const float faceOffsets[24][3] = {
    {0.5f, -0.5f, -0.5f},  {0.5f, 0.5f, -0.5f},   {0.5f, 0.5f, 0.5f},    {0.5f, -0.5f, 0.5f},     // right
    {0.5f, 0.5f, -0.5f},   {-0.5f, 0.5f, -0.5f},  {-0.5f, 0.5f, 0.5f},   {0.5f, 0.5f, 0.5f},      // top
    {-0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, 0.5f},   {0.5f, 0.5f, 0.5f},    {-0.5f, 0.5f, 0.5f},     // back
    {-0.5f, 0.5f, -0.5f},  {-0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f},  {-0.5f, 0.5f, 0.5f},     // left
    {-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f},  {0.5f, -0.5f, 0.5f},   {-0.5f, -0.5f, 0.5f},    // bottom
    {-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f},  {0.5f, 0.5f, -0.5f},   {-0.5f, 0.5f, -0.5f}};   // front

const FaceLook PlainLook = {{0.0f, 0.5f}, {0.0f, 1.0f}, {0.5f, 1.0f}, {0.5f, 0.5f}};
const FaceLook BlackholeLook = {{0.5f, 0.0f}, {0.5f, 0.5f}, {1.0f, 0.5f}, {1.0f, 0.0f}};
const FaceLook GoalLook = {{0.5f, 0.5f}, {0.5f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.5f}};
const FaceLook ActiveGoalLook = {{0.0f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.0f}};

namespace {

// Calls visit on every block reachable from start whose mark differs from
// `markTo`, setting the mark first. Depth first, links in ascending Direction
// order, with an explicit stack so long chains of blocks cannot exhaust the
// call stack.
template <class Visit>
void walk(Block& start, bool markTo, Visit visit) {
    std::vector<Block*> pending{&start};
    while (!pending.empty()) {
        Block* b = pending.back();
        pending.pop_back();
        if (b->visited == markTo) continue;
        b->visited = markTo;
        visit(*b);
        for (int d = 5; d >= 0; --d)
            if (b->links[d] && b->links[d]->visited != markTo) pending.push_back(b->links[d]);
    }
}

}  // namespace

Block::Block(int index_, int x_, int y_, int z_) : index(index_), x(x_), y(y_), z(z_) {
    for (int k = 0; k < 24; ++k) {
        vertices[k][0] = static_cast<float>(x) + faceOffsets[k][0];
        vertices[k][1] = static_cast<float>(y) + faceOffsets[k][1];
        vertices[k][2] = static_cast<float>(z) + faceOffsets[k][2];
        vertices[k][3] = 1.0f;
    }
}

void Block::setLook(Direction face, const FaceLook& look) {
    for (int k = 0; k < 4; ++k) {
        texCoords[face][k][0] = look[k][0];
        texCoords[face][k][1] = look[k][1];
    }
}

void Block::updateEdges(Direction f) {
    if (links[f]) return;
    for (int d = 0; d < 6; ++d) {
        if (d % 3 == f % 3) continue;
        EdgeKind kind = EdgeKind::Flat;
        if (decals[f] == Decal::Blackhole)
            kind = EdgeKind::Blackhole;
        else if (decals[f] == Decal::Goal && goalActive)
            kind = EdgeKind::Goal;
        else if (!links[d])
            kind = EdgeKind::Convex;
        else if (links[d]->links[f])
            kind = EdgeKind::Concave;
        edges[f][d] = kind;
    }
}

void Block::mark() {
    walk(*this, true, [](Block&) {});
}

void Block::unmark() {
    walk(*this, false, [](Block&) {});
}

bool Block::finishLoading() {
    if (!visited) return false;
    visited = false;
    for (int f = 0; f < 6; ++f)
        setLook(f, decals[f] == Decal::Blackhole ? BlackholeLook : decals[f] == Decal::Goal ? GoalLook : PlainLook);
    int first = -1;
    for (int d = 0; d < 6; ++d) {
        if (!links[d]) continue;
        if (first < 0) {
            first = d;
            linkAxis = d % 3;
        } else if (d % 3 != first % 3) {
            linkAxis = 3;
            break;
        }
    }
    for (int f = 0; f < 6; ++f) updateEdges(f);
    return true;
}

void Block::activateGoal() {
    goalActive = true;
    for (int f = 0; f < 6; ++f) {
        if (decals[f] != Decal::Goal) continue;
        for (int d = 0; d < 6; ++d) edges[f][d] = EdgeKind::Goal;
        setLook(f, ActiveGoalLook);
        return;
    }
}

void Block::reset() {
    // Each block's restoration reads only its own state and the (fixed) links,
    // so the order in which the structure is visited does not matter.
    walk(*this, true, [](Block& b) { b.restoreLoaded(); });
}

void Block::restoreLoaded() {
    // The search restores blocks all the time: on plain faces a turn moves
    // the collectables alone.
    const bool plain = plainFaces();
    const bool changesEdges = !plain && (rotationCount != 0 || goalActive);
    goalActive = false;
    for (int k = 0; k < rotationCount; ++k) {
        rotationStep = -1;
        turnContents(!plain);
    }
    rotationStep = 0;
    rotationCount = 0;
    for (int f = 0; f < 6; ++f) {
        if (decals[f] == Decal::Collected) decals[f] = Decal::Collectable;
        else if (decals[f] == Decal::Goal) setLook(f, GoalLook);
    }
    if (changesEdges)
        for (int f = 0; f < 6; ++f) updateEdges(f);
}

BlockState Block::state() const {
    BlockState s;
    for (int f = 0; f < 6; ++f) s.decals[f] = decals[f];
    s.goalActive = goalActive;
    s.rotationStep = rotationStep;
    s.rotationCount = rotationCount;
    return s;
}

void Block::restore(const BlockState& s) {
    // A quarter turn only permutes the faces' contents about the one axis a
    // block turns on, so turning on by the difference of the net turns gives
    // the contents whatever the senses of the turns were.
    const int turns = (s.rotationCount - rotationCount + 4) % 4;
    const bool plain = plainFaces();  // then a turn moves the collectables alone
    for (int k = 0; k < turns; ++k) {
        rotationStep = 1;
        turnContents(!plain);
    }
    rotationStep = s.rotationStep;
    rotationCount = s.rotationCount;
    for (int f = 0; f < 6; ++f) decals[f] = s.decals[f];  // taken or not: no edge changes
    const bool closing = goalActive && !s.goalActive;
    if (closing) {
        goalActive = false;
        for (int f = 0; f < 6; ++f)
            if (decals[f] == Decal::Goal) setLook(f, GoalLook);
    }
    if ((turns > 0 && !plain) || closing)
        for (int f = 0; f < 6; ++f) updateEdges(f);
    if (s.goalActive && !goalActive) activateGoal();
}
