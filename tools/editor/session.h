#pragma once
// The editor program apart from its window: the level file being edited, the
// edits the keys and clicks make, the live verdict, and the lines shown in
// the title, the status area and the help overlay. Every line shown in the
// status area is also printed to standard output.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/level_editor.h"
#include "editor/level_save.h"
#include "editor/orbit_camera.h"
#include "editor/verdict_runner.h"

class EditorSession {
public:
    // What the window has to do after an input.
    enum class Request { None, Quit, Play };

    // Opens `path` (a new level when it does not exist) and starts judging it.
    EditorSession(std::string path, VerdictRunner::Judge judge);

    // False when the file could not be opened: the status shows why, and
    // nothing can be edited or saved.
    bool opened() const { return opened_; }
    const LevelEditor& editor() const { return editor_; }
    const std::string& path() const { return path_; }
    // The view: framed on the level at the start, by F and by the view keys.
    OrbitCamera& camera() { return camera_; }

    // A key press (game key code) with the modifiers held, and the face under
    // the pointer.
    Request onKey(int key, bool ctrl, bool shift, const FacePick& pick);
    // A click without dragging: left adds a block on the face, right removes it.
    void onClick(bool left, const FacePick& pick);
    // The window's close button: Quit, or a question first when unsaved.
    Request onClose();

    // Takes in the verdict worker's news; returns whether what is shown changed.
    bool poll();
    // Waits up to `seconds` for the verdict of the current level.
    bool waitVerdict(double seconds) const { return runner_.waitFinished(seconds); }

    // "tumbix-edit: NAME[*] - VERDICT" (the star: unsaved changes).
    std::string title() const;
    // The message of the last action, the verdict, the loader's warnings,
    // then what it said of the file as opened (until it is saved).
    std::vector<std::string> statusLines() const;
    const Verdict& verdict() const { return verdict_; }
    bool helpShown() const { return helpShown_; }
    // The name being typed after N; empty unless naming.
    bool naming() const { return naming_; }
    const std::string& typedName() const { return typed_; }

private:
    void say(const std::string& message);
    void apply(const EditResult& result);
    void resubmit();
    Request onNameKey(int key, bool shift);
    void save();
    void frame();

    std::string path_;
    bool opened_ = false;
    LevelEditor editor_;
    LevelSaveGuard saver_;
    OrbitCamera camera_;
    VerdictRunner runner_;
    Verdict verdict_;
    std::string message_;
    std::vector<std::string> refusal_;  // the loader's lines when the file was refused
    std::vector<std::string> fileWarnings_;  // what the loader said of the file as opened
    bool helpShown_ = false;
    bool confirmingQuit_ = false;
    bool naming_ = false;
    std::string typed_;
};

// One row of the key table shown by the help overlay.
struct HelpLine {
    const char* keys;
    const char* what;
};
const std::vector<HelpLine>& editorHelpLines();
