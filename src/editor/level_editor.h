#pragma once
// The edits a level designer makes, each undoable: blocks added on a face
// and removed, decals put on faces, colours and light nudged, the next level
// named. The level stays one the game keeps whole: the block at the origin
// is never removed, nor a block whose removal would cut others off from it.

#include <cstdint>
#include <string>
#include <vector>

#include "editor/level_document.h"
#include "editor/picking.h"

// What an edit did: whether the document changed, and a line for the status.
struct EditResult {
    bool changed = false;
    std::string message;
};

// The colour or light value a nudge changes.
enum class Nudge { Ambient, LightColor, LightPosition };

class LevelEditor {
public:
    explicit LevelEditor(LevelDocument document = newLevelDocument());

    const LevelDocument& document() const { return document_; }

    // Adds a plain block against the picked face. Decals on faces the new
    // block covers are removed with it (nobody could reach them).
    EditResult addBlock(const FacePick& pick);
    // Removes the picked block, unless it is the one at the origin or others
    // hang on it alone.
    EditResult removeBlock(const FacePick& pick);
    // Puts `decal` on the picked face (Plain clears it). There is one goal: a
    // goal put on a face is taken from wherever it was.
    EditResult setDecal(const FacePick& pick, Decal decal);
    // Adds delta to component `component` (0 x/r, 1 y/g, 2 z/b); colours stay
    // within 0..1. Nudges of the same value in a row undo as one edit.
    EditResult nudge(Nudge what, int component, float delta);
    // Names the next level: 1 to 26 characters of letters, digits, '.', '-', '_'.
    EditResult setNextLevel(const std::string& name);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Returns false when there is nothing to undo / redo.
    bool undo();
    bool redo();

    // Changes with every edit, undo and redo; equal numbers mean equal documents.
    std::uint64_t revision() const { return revision_; }
    // Whether the document differs from the one last saved (or opened).
    bool modified() const { return revision_ != savedRevision_; }
    void markSaved() { savedRevision_ = revision_; }

private:
    struct State {
        LevelDocument document;
        std::uint64_t revision;
    };
    // Records the current state for undo before an edit; `mergeKey` (non-zero)
    // lets a run of the same nudge share one record.
    void beginEdit(int mergeKey = 0);

    LevelDocument document_;
    std::vector<State> undo_, redo_;
    std::uint64_t revision_ = 0;
    std::uint64_t nextRevision_ = 1;
    std::uint64_t savedRevision_ = 0;
    int lastMergeKey_ = 0;
};

// Returns whether every block is reachable from the origin block through
// face-adjacent blocks, leaving out the block at index `without` (-1: none).
bool connectedToOrigin(const LevelDocument& document, int without = -1);
// Returns "(x,y,z)" for a block.
std::string positionText(const DocumentBlock& b);
