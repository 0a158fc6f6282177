#include <algorithm>

#include "log/console.h"
#include "math/math.h"
#include "world/block.h"

namespace {

// Returns true after recording a turn in the given sense; false (with the
// console line) when the block cannot turn about the heading's axis.
bool startTurn(Block& b, Direction heading, int senseForPositiveHeading) {
    if (heading % 3 != b.linkAxis) {
        console() << "ERROR can't rotate along that axis" << std::endl;
        return false;
    }
    b.rotationStep = heading >= 3 ? -senseForPositiveHeading : senseForPositiveHeading;
    b.rotationCount = (b.rotationCount + 4 + b.rotationStep) % 4;
    b.rotateStep();
    return true;
}

}  // namespace

bool Block::rotateLeft(Direction heading) {
    return startTurn(*this, heading, -1);
}

bool Block::rotateRight(Direction heading) {
    return startTurn(*this, heading, +1);
}

void Block::rotateStep() {
    turnContents();
    for (int f = 0; f < 6; ++f) updateEdges(f);
}

bool Block::plainFaces() const {
    for (int f = 0; f < 6; ++f)
        if (decals[f] == Decal::Blackhole || decals[f] == Decal::Goal) return false;
    return true;
}

void Block::turnContents(bool looks) {
    const int(&cycle)[4] = quarterTurnCycles[linkAxis % 3];
    // +1 moves each face's content from c(i+1) to c(i); -1 from c(i) to c(i+1)
    const int stride = rotationStep == 1 ? 1 : 3;
    if (!looks) {
        const Decal kept = decals[cycle[0]];
        int to = cycle[0];
        for (int step = 1; step < 4; ++step) {
            const int from = cycle[(stride * step) % 4];
            decals[to] = decals[from];
            to = from;
        }
        decals[to] = kept;
        return;
    }
    auto moveContent = [this](int to, int from) {
        decals[to] = decals[from];
        std::copy(&texCoords[from][0][0], &texCoords[from][0][0] + 8, &texCoords[to][0][0]);
    };
    const Decal keptDecal = decals[cycle[0]];
    float keptLook[8];
    std::copy(&texCoords[cycle[0]][0][0], &texCoords[cycle[0]][0][0] + 8, keptLook);
    int to = cycle[0];
    for (int step = 1; step < 4; ++step) {
        const int from = cycle[(stride * step) % 4];
        moveContent(to, from);
        to = from;
    }
    decals[to] = keptDecal;
    std::copy(keptLook, keptLook + 8, &texCoords[to][0][0]);
}
