// The editor's edits and their undo and redo.
#include <gtest/gtest.h>

#include "editor/level_editor.h"

namespace {

FacePick face(const LevelEditor& e, int x, int y, int z, Direction d) { return {findBlock(e.document(), x, y, z), d}; }

int countDecals(const LevelDocument& d, Decal decal) {
    int n = 0;
    for (const DocumentBlock& b : d.blocks)
        for (int f : b.decals) n += f == decal;
    return n;
}

}  // namespace

TEST(LevelEditor, BlocksGrowOnThePickedFaceAndEveryEditUndoesAndRedoesInOrder) {
    LevelEditor e;
    ASSERT_EQ(e.document().blocks.size(), 1u);
    EXPECT_FALSE(e.modified());
    EXPECT_FALSE(e.undo());

    std::vector<LevelDocument> states{e.document()};
    std::vector<std::uint64_t> revisions{e.revision()};
    const auto edit = [&](EditResult r) {
        EXPECT_TRUE(r.changed) << r.message;
        states.push_back(e.document());
        revisions.push_back(e.revision());
    };
    edit(e.addBlock(face(e, 0, 0, 0, Direction::Right)));
    EXPECT_GE(findBlock(e.document(), 1, 0, 0), 0);
    edit(e.addBlock(face(e, 1, 0, 0, Direction::Top)));
    EXPECT_GE(findBlock(e.document(), 1, 1, 0), 0);
    edit(e.setDecal(face(e, 1, 1, 0, Direction::Top), Decal::Goal));
    edit(e.setDecal(face(e, 0, 0, 0, Direction::Front), Decal::Collectable));
    edit(e.setDecal(face(e, 1, 0, 0, Direction::Back), Decal::Blackhole));
    edit(e.setDecal(face(e, 1, 0, 0, Direction::Back), Decal::Plain));
    edit(e.nudge(Nudge::Ambient, 1, 0.05f));
    edit(e.nudge(Nudge::LightPosition, 2, -0.5f));
    edit(e.setNextLevel("level7.xml"));
    edit(e.removeBlock(face(e, 1, 1, 0, Direction::Top)));
    EXPECT_TRUE(e.modified());

    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(e.undo());
        EXPECT_TRUE(sameDocument(e.document(), states[i - 1])) << i;
        EXPECT_EQ(e.revision(), revisions[i - 1]);
    }
    EXPECT_FALSE(e.undo());
    EXPECT_FALSE(e.modified());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(e.redo());
        EXPECT_TRUE(sameDocument(e.document(), states[i])) << i;
    }
    EXPECT_FALSE(e.redo());
    // a new edit after undoing drops what could be redone
    e.undo();
    e.nudge(Nudge::LightColor, 0, -0.1f);
    EXPECT_FALSE(e.canRedo());
}

TEST(LevelEditor, RefusedEditsChangeNothingAndLeaveNoUndoStep) {
    LevelEditor e;
    e.addBlock(face(e, 0, 0, 0, Direction::Right));  // (1,0,0)
    e.addBlock(face(e, 1, 0, 0, Direction::Right));  // (2,0,0)
    e.setDecal(face(e, 2, 0, 0, Direction::Top), Decal::Collectable);
    const LevelDocument before = e.document();
    const std::uint64_t revision = e.revision();
    const struct {
        const char* what;
        EditResult result;
    } refused[] = {
        {"the origin block", e.removeBlock(face(e, 0, 0, 0, Direction::Top))},
        {"a block that holds another", e.removeBlock(face(e, 1, 0, 0, Direction::Top))},
        {"a taken place", e.addBlock(face(e, 1, 0, 0, Direction::Left))},
        {"a covered face", e.setDecal(face(e, 1, 0, 0, Direction::Right), Decal::Goal)},
        {"the same decal", e.setDecal(face(e, 2, 0, 0, Direction::Top), Decal::Collectable)},
        {"nothing picked", e.addBlock(FacePick{})},
        {"a stale pick", e.removeBlock(FacePick{7, Direction::Top})},
        {"a colour at its top", e.nudge(Nudge::LightColor, 0, 0.5f)},
        {"an empty name", e.setNextLevel("")},
        {"a name with a folder", e.setNextLevel("../level1.xml")},
        {"a name too long", e.setNextLevel("level-with-a-very-long-name.xml")},
        {"the same name", e.setNextLevel("level0.xml")},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(r.result.changed) << r.what;
        EXPECT_FALSE(r.result.message.empty()) << r.what;
    }
    EXPECT_TRUE(sameDocument(e.document(), before));
    EXPECT_EQ(e.revision(), revision);
    // the far end of the row can go, then the middle one
    EXPECT_TRUE(e.removeBlock(face(e, 2, 0, 0, Direction::Top)).changed);
    EXPECT_TRUE(e.removeBlock(face(e, 1, 0, 0, Direction::Top)).changed);
}

TEST(LevelEditor, ARingLosesAnyOneBlockButABlockOthersHangOnStays) {
    // a ring of four around nothing, with a tail at (2,0,0) hanging on (1,0,0)
    LevelDocument ring;
    for (auto [x, z] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}}) ring.blocks.push_back({x, 0, z, {}});
    LevelEditor e(ring);
    EXPECT_TRUE(connectedToOrigin(e.document()));
    EXPECT_TRUE(connectedToOrigin(e.document(), findBlock(e.document(), 0, 0, 1)));
    EXPECT_FALSE(connectedToOrigin(e.document(), findBlock(e.document(), 1, 0, 0)));
    // (2,0,0) touches only (1,0,0), so that one stays; (1,0,1) is one of two ways round the ring
    EXPECT_FALSE(e.removeBlock(face(e, 1, 0, 0, Direction::Top)).changed);
    EXPECT_TRUE(e.removeBlock(face(e, 1, 0, 1, Direction::Top)).changed);
}

TEST(LevelEditor, TheGoalMovesAndCoveredDecalsGoWithTheBlockThatCoversThem) {
    LevelDocument twoGoals;  // as a file with two goals loads
    twoGoals.blocks = {{0, 0, 0, {}}, {1, 0, 0, {}}};
    twoGoals.blocks[0].decals[Direction::Top] = Decal::Goal;
    twoGoals.blocks[1].decals[Direction::Top] = Decal::Goal;
    LevelEditor e(twoGoals);
    // putting the goal where one already is still makes it the only one
    EXPECT_TRUE(e.setDecal(face(e, 1, 0, 0, Direction::Top), Decal::Goal).changed);
    EXPECT_EQ(countDecals(e.document(), Decal::Goal), 1);
    EXPECT_FALSE(e.setDecal(face(e, 1, 0, 0, Direction::Top), Decal::Goal).changed);
    EXPECT_TRUE(e.setDecal(face(e, 0, 0, 0, Direction::Back), Decal::Goal).changed);
    EXPECT_EQ(countDecals(e.document(), Decal::Goal), 1);
    EXPECT_EQ(e.document().blocks[0].decals[Direction::Back], Decal::Goal);

    e.setDecal(face(e, 1, 0, 0, Direction::Top), Decal::Collectable);
    const EditResult r = e.addBlock(face(e, 0, 0, 0, Direction::Top));  // (0,1,0) next to nothing decorated
    EXPECT_EQ(r.message, "added block (0,1,0)");
    e.addBlock(face(e, 1, 0, 0, Direction::Top));  // covers the collectable
    EXPECT_EQ(countDecals(e.document(), Decal::Collectable), 0);
    e.undo();
    EXPECT_EQ(countDecals(e.document(), Decal::Collectable), 1);
}

TEST(LevelEditor, NudgesInARowUndoAsOneAndSavingTracksTheState) {
    LevelEditor e;
    const float start = e.document().ambientColor.x;
    for (int i = 0; i < 5; ++i) e.nudge(Nudge::Ambient, 0, 0.05f);
    EXPECT_NEAR(e.document().ambientColor.x, start + 0.25f, 1e-5f);
    e.nudge(Nudge::Ambient, 1, 0.05f);  // another component: its own step
    e.undo();
    e.undo();
    EXPECT_EQ(e.document().ambientColor.x, start);
    EXPECT_FALSE(e.canUndo());

    e.nudge(Nudge::Ambient, 0, 0.05f);
    e.markSaved();
    EXPECT_FALSE(e.modified());
    e.nudge(Nudge::Ambient, 0, 0.05f);  // after a save a run starts anew
    EXPECT_TRUE(e.modified());
    e.undo();
    EXPECT_FALSE(e.modified());
    e.undo();
    EXPECT_TRUE(e.modified());
    e.redo();
    EXPECT_FALSE(e.modified());
}

TEST(LevelEditor, ADocumentWithoutAnOriginBlockGetsOne) {
    LevelDocument empty;
    LevelEditor e(empty);
    ASSERT_EQ(e.document().blocks.size(), 1u);
    EXPECT_TRUE(isOrigin(e.document().blocks[0]));
}
