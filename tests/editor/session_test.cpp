// The editor program's keys, file handling and quit question, without a window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/play.h"
#include "editor/session.h"
#include "log/console.h"
#include "platform/keys.h"

namespace fs = std::filesystem;

namespace {

// Judges every level winnable at once.
Verdict instantVerdict(const std::string&, const std::atomic<bool>&, const std::function<void(const Verdict&)>&) {
    Verdict v;
    v.state = Verdict::State::Winnable;
    v.text = "winnable in 1 step, 0 turns";
    return v;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tumbix-session-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    // Presses a key with the origin block's face `face` under the pointer.
    EditorSession::Request press(EditorSession& s, int key, bool ctrl = false, bool shift = false,
                                 Direction face = Direction::Top) {
        return s.onKey(key, ctrl, shift, FacePick{findBlock(s.editor().document(), 0, 0, 0), face});
    }

    ConsoleCapture quiet;
    fs::path dir;
};

}  // namespace

TEST_F(Session, EachEditKeyChangesTheLevelAndUndoAndRedoKeysWalkBack) {
    EditorSession s((dir / "new.xml").string(), instantVerdict);
    ASSERT_TRUE(s.opened());
    EXPECT_EQ(s.title().rfind("tumbix-edit: new.xml - ", 0), 0u) << s.title();
    const struct {
        int key;
        bool shift;
        Direction face;
        const char* message;
    } edits[] = {
        {'C', false, Direction::Top, "collectable on (0,0,0) top"},
        {'B', false, Direction::Left, "black hole on (0,0,0) left"},
        {'G', false, Direction::Back, "goal on (0,0,0) back"},
        {'X', false, Direction::Left, "cleared (0,0,0) left"},
        {keys::Space, false, Direction::Right, "added block (1,0,0)"},
        {'1', false, Direction::Top, "ambient colour r 0.25"},
        {'5', true, Direction::Top, "light colour g 0.95"},
        {keys::PageUp, false, Direction::Top, "light position y 9.5"},
        {keys::Left, false, Direction::Top, "light position x 3.5"},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.message);
        const std::uint64_t before = s.editor().revision();
        EXPECT_EQ(press(s, e.key, false, e.shift, e.face), EditorSession::Request::None);
        EXPECT_EQ(s.statusLines().front(), e.message);
        EXPECT_NE(s.editor().revision(), before);
    }
    EXPECT_NE(s.title().find("new.xml*"), std::string::npos);
    const FacePick added{findBlock(s.editor().document(), 1, 0, 0), Direction::Top};
    s.onKey(keys::Del, false, false, added);
    EXPECT_EQ(s.statusLines().front(), "removed block (1,0,0)");
    for (std::size_t i = 0; i < std::size(edits) + 1; ++i) press(s, 'Z', true);
    EXPECT_FALSE(s.editor().modified());
    EXPECT_EQ(s.statusLines().front(), "undone");
    press(s, 'Z', true);
    EXPECT_EQ(s.statusLines().front(), "nothing to undo");
    press(s, 'Y', true);
    press(s, 'Z', true, true);
    EXPECT_EQ(s.statusLines().front(), "redone");
    EXPECT_TRUE(s.editor().modified());
    // the verdict follows the newest version
    ASSERT_TRUE(s.waitVerdict(10.0));
    s.poll();
    EXPECT_EQ(s.verdict().revision, s.editor().revision());
    EXPECT_NE(s.title().find(" - winnable in 1 step, 0 turns"), std::string::npos);
}

TEST_F(Session, TheNextLevelIsTypedAndABadNameIsRefused) {
    EditorSession s((dir / "named.xml").string(), instantVerdict);
    const auto type = [&](const std::string& keysTyped) {
        press(s, 'N');
        EXPECT_TRUE(s.naming());
        for (char c : keysTyped) {
            const bool shift = c == '_' || (c >= 'A' && c <= 'Z');
            const int key = c == '_' ? '-' : (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
            press(s, key, false, shift);
        }
    };
    type("tower_2.xmlx");
    press(s, keys::Backspace);
    EXPECT_EQ(s.typedName(), "tower_2.xml");
    press(s, keys::Enter);
    EXPECT_FALSE(s.naming());
    EXPECT_EQ(s.editor().document().next, "tower_2.xml");
    type("");
    press(s, keys::Enter);
    EXPECT_EQ(s.editor().document().next, "tower_2.xml");
    EXPECT_NE(s.statusLines().front().find("1 to 26"), std::string::npos);
    type("other.xml");
    press(s, keys::Esc);  // leaves the name as it was, and does not quit
    EXPECT_EQ(s.editor().document().next, "tower_2.xml");
}

TEST_F(Session, QuittingAsksOnceWhenUnsavedAndSavingWritesOnlyOnCtrlS) {
    const fs::path file = dir / "level.xml";
    {
        EditorSession s(file.string(), instantVerdict);
        EXPECT_EQ(press(s, keys::Esc), EditorSession::Request::Quit);  // nothing changed
    }
    EditorSession s(file.string(), instantVerdict);
    press(s, 'C');
    EXPECT_EQ(press(s, keys::Esc), EditorSession::Request::None);
    EXPECT_NE(s.statusLines().front().find("unsaved changes"), std::string::npos);
    press(s, 'H');  // any other key takes the question back
    EXPECT_EQ(press(s, keys::Esc), EditorSession::Request::None);
    EXPECT_EQ(s.onClose(), EditorSession::Request::Quit);
    EXPECT_FALSE(fs::exists(file));

    // a folder that cannot be written: a message, the edits stay
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (!std::ofstream(dir / "probe")) {
        press(s, 'S', true);
        EXPECT_EQ(s.statusLines().front().rfind("cannot save " + file.string(), 0), 0u);
        EXPECT_TRUE(s.editor().modified());
    }
    fs::permissions(dir, fs::perms::owner_all);
    press(s, 'S', true);
    EXPECT_EQ(s.statusLines().front(), "saved " + file.string());
    EXPECT_FALSE(s.editor().modified());
    EXPECT_EQ(press(s, keys::Esc), EditorSession::Request::Quit);
    EXPECT_NE(readFile(file).find("<collectable face=\"top\" />"), std::string::npos);
}

// Two editors on one file: the second save asks before it overwrites what
// the first saved; asked again, it overwrites.
TEST_F(Session, ASaveOverAFileChangedOnDiskAsksFirst) {
    const fs::path file = dir / "shared.xml";
    EditorSession first(file.string(), instantVerdict);
    EditorSession second(file.string(), instantVerdict);
    press(first, 'C');
    press(first, 'S', true);
    ASSERT_EQ(first.statusLines().front(), "saved " + file.string());
    const std::string firstSaved = readFile(file);

    press(second, 'B');
    press(second, 'S', true);
    EXPECT_EQ(second.statusLines().front(),
              file.string() + " changed on disk since it was opened or saved here: Ctrl+S again overwrites it");
    EXPECT_TRUE(second.editor().modified());
    EXPECT_EQ(readFile(file), firstSaved);
    press(second, 'S', true);
    EXPECT_EQ(second.statusLines().front(), "saved " + file.string());
    EXPECT_NE(readFile(file).find("<blackhole face=\"top\" />"), std::string::npos);

    // the first editor's own saves went unnoticed; now the file is not its
    press(first, 'X');
    press(first, 'S', true);
    EXPECT_NE(first.statusLines().front().find("changed on disk"), std::string::npos);
}

TEST_F(Session, AReadOnlyFileIsNotSavedAndALeftoverOfAKilledSaveIsShown) {
    const fs::path file = dir / "kept.xml";
    {
        EditorSession s(file.string(), instantVerdict);
        press(s, 'S', true);
    }
    std::ofstream(file.string() + ".saving") << "<map next=";
    ::chmod(file.c_str(), 0444);
    const std::string before = readFile(file);
    EditorSession s(file.string(), instantVerdict);
    const std::vector<std::string> lines = s.statusLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "a save that did not finish left " + file.string() +
                            ".saving (the level file itself is whole; the next save replaces it)"),
              lines.end());
    press(s, 'C');
    press(s, 'S', true);
    EXPECT_EQ(s.statusLines().front(),
              "cannot save " + file.string() + ": the file is read-only; nothing was written; the edits are kept");
    EXPECT_EQ(readFile(file), before);
    ::chmod(file.c_str(), 0644);
    press(s, 'S', true);
    EXPECT_EQ(s.statusLines().front(), "saved " + file.string());
    EXPECT_FALSE(fs::exists(file.string() + ".saving"));
    const std::vector<std::string> after = s.statusLines();
    EXPECT_EQ(std::count_if(after.begin(), after.end(),
                            [](const std::string& l) { return l.find("did not finish") != std::string::npos; }),
              0);
}

TEST_F(Session, ViewKeysLookAlongTheAxesAtTheWholeLevel) {
    EditorSession s((dir / "views.xml").string(), instantVerdict);
    press(s, keys::Kp0 + 1);
    EXPECT_EQ(s.camera().yaw, 0.0f);
    EXPECT_EQ(s.camera().pitch, 0.0f);
    press(s, keys::Kp0 + 3, true);
    EXPECT_EQ(s.camera().yaw, 270.0f);
    press(s, keys::Kp0 + 7, true);
    EXPECT_EQ(s.camera().pitch, -89.0f);
    EXPECT_FALSE(s.editor().modified());
}

TEST(PlayFolder, HoldsTheContentWithTheLevelAsTheFirstOne) {
    const fs::path content = fs::temp_directory_path() / ("tumbix-content-" + std::to_string(::getpid()));
    fs::create_directories(content / "maps");
    std::ofstream(content / "shader.vert") << "shader";
    std::ofstream(content / "maps" / "level0.xml") << "old first level";
    std::ofstream(content / "maps" / "level1.xml") << "second";
    LevelDocument level = newLevelDocument();
    level.next = "level1.xml";
    std::string error;
    const std::string folder = preparePlayFolder(level, content.string(), error);
    ASSERT_FALSE(folder.empty()) << error;
    EXPECT_EQ(readFile(fs::path(folder) / "shader.vert"), "shader");
    EXPECT_EQ(readFile(fs::path(folder) / "maps" / "level1.xml"), "second");
    EXPECT_EQ(readFile(fs::path(folder) / "maps" / "level0.xml"), writeLevelText(level));
    EXPECT_EQ(readFile(content / "maps" / "level0.xml"), "old first level");
    fs::remove_all(folder);

    EXPECT_TRUE(preparePlayFolder(level, (content / "missing").string(), error).empty());
    EXPECT_NE(error.find("cannot copy"), std::string::npos);
    fs::remove_all(content);

    // a game that cannot be started is reported and leaves no folder behind
    PlayLauncher launcher;
    const std::string line = launcher.start(level, TUMBIX_DATA_DIR, "/nonexistent/tumbix");
    EXPECT_EQ(line.rfind("cannot start /nonexistent/tumbix", 0), 0u) << line;
    EXPECT_EQ(launcher.running(), 0);
}

// The games started with P end with the editor, and their scratch folders
// go with them: one that would run on (ignoring the request to stop) as well.
TEST_F(Session, QuittingEndsTheGamesItStartedAndRemovesTheirFolders) {
    const fs::path game = dir / "game.sh";
    std::ofstream(game) << "#!/bin/sh\ntrap '' TERM\nexec sleep 600\n";
    fs::permissions(game, fs::perms::owner_all);
    const fs::path stoppable = dir / "stoppable.sh";
    std::ofstream(stoppable) << "#!/bin/sh\nexec sleep 600\n";
    fs::permissions(stoppable, fs::perms::owner_all);
    const fs::path content = dir / "content";
    fs::create_directories(content / "maps");
    PlayLauncher launcher;
    std::vector<std::string> folders;
    for (const fs::path& binary : {game, stoppable}) {
        const std::string line = launcher.start(newLevelDocument(), content.string(), binary.string());
        ASSERT_EQ(line.rfind("playing in ", 0), 0u) << line;
        folders.push_back(line.substr(11, line.find(" (game process") - 11));
        EXPECT_TRUE(fs::exists(folders.back()));
    }
    EXPECT_EQ(launcher.running(), 2);
    launcher.stopAll(0.2);
    EXPECT_EQ(launcher.running(), 0);
    for (const std::string& folder : folders) EXPECT_FALSE(fs::exists(folder)) << folder;
}

TEST_F(Session, WhatTheLoaderLeftOutOfTheFileIsShownUntilSaved) {
    const fs::path file = dir / "a-level-file-with-a-long-name.xml";
    std::ofstream(file) << "<map next=\"n.xml\" author=\"me\"><level r=\"0\" g=\"0\" b=\"0\"><light x=\"0\" y=\"5\" "
                           "z=\"0\" r=\"1\" g=\"1\" b=\"1\"/><block x=\"0\" y=\"0\" z=\"0\"><goal face=\"top\"/>"
                           "</block><block x=\"3\" y=\"0\" z=\"0\"/></level></map>";
    EditorSession s(file.string(), instantVerdict);
    ASSERT_TRUE(s.opened());
    EXPECT_EQ(s.editor().document().blocks.size(), 1u);  // the level as the game keeps it
    const auto shown = [&](const std::string& line) {
        const std::vector<std::string> lines = s.statusLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(shown("in the file: WARNUNG: unknown level attribute: author"));
    EXPECT_TRUE(shown("in the file: WARNING: block 300 is not connected to the root block!"));
    EXPECT_TRUE(shown("the game loads level files with names of at most 26 characters"));
    press(s, 'S', true);
    EXPECT_FALSE(shown("in the file: WARNUNG: unknown level attribute: author"));
    EXPECT_TRUE(shown("the game loads level files with names of at most 26 characters"));
}
