#pragma once
// The GL side of the shown level's geometry: the level's vertices and
// indices in two static buffer objects, made when the level is first drawn
// and deleted as soon as the rules report that another level took its
// place. In between, the blocks the rules report as looking different are
// written again before the next frame, and only those.

#include <vector>

#include "rules/view_event.h"

struct Level;

// What buffers holding `held` (null: none) must write to show a level as
// it looks now: all of it, or the listed blocks.
struct LookWrites {
    bool whole = false;
    std::vector<int> blocks;
};

// The blocks of the shown level whose buffered looks are out of date, as
// the rules reported them; no GL.
class PendingLooks {
public:
    // Takes what one command or step reported. A level switch makes every
    // block new: what was pending before it goes.
    void follow(const std::vector<ViewEvent>& views, const std::vector<int>& changed);
    // Returns what buffers holding `held` write to show `level`, and forgets
    // what was pending: the whole level when they hold another, else the
    // pending blocks of the level, each once, in the order first reported.
    LookWrites take(const Level& level, const Level* held);

private:
    std::vector<int> blocks_;
};

class LevelBuffers {
public:
    LevelBuffers() = default;
    ~LevelBuffers();
    LevelBuffers(const LevelBuffers&) = delete;
    LevelBuffers& operator=(const LevelBuffers&) = delete;

    // Follows what one command or step of the rules reported: a level
    // switch deletes the buffers at once (their level is gone), changed
    // blocks are noted for keep().
    void follow(const std::vector<ViewEvent>& views, const std::vector<int>& changed);
    // Makes the buffers hold `level` as it looks now: uploads it whole when
    // they hold another level or none, else writes the noted blocks again.
    // Nothing without buffer objects (vboSupported) or a current context.
    void keep(const Level& level);
    // Deletes the buffers.
    void release();
    // Returns the names of the buffers of `level`, 0 when they hold another one.
    unsigned vertexBuffer(const Level& level) const { return &level == level_ ? vertexBuffer_ : 0; }
    unsigned indexBuffer(const Level& level) const { return &level == level_ ? indexBuffer_ : 0; }

private:
    const Level* level_ = nullptr;  // the level uploaded; null without buffers
    unsigned vertexBuffer_ = 0;
    unsigned indexBuffer_ = 0;
    PendingLooks pending_;
};

// The buffers of the level on screen.
extern LevelBuffers levelBuffers;
