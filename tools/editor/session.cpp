#include "editor/session.h"

#include <filesystem>

#include "levelcheck/check.h"
#include "log/console.h"
#include "platform/keys.h"
#include "world/level_file.h"
#include "world/level_writer.h"

namespace {

constexpr float kColourStep = 0.05f;
constexpr float kLightStep = 0.5f;
constexpr float kFieldOfView = 60.0f;  // the projection's, as the game draws
constexpr float kAspect = 1.3333334f;

LevelDocument documentFor(const OpenedLevel& opened) {
    return opened.status == OpenedLevel::Status::Refused ? newLevelDocument() : opened.document;
}

}  // namespace

const std::vector<HelpLine>& editorHelpLines() {
    static const std::vector<HelpLine> lines = {
        {"drag, wheel", "turn the camera, zoom"},
        {"F", "frame the level"},
        {"keypad 1 3 7", "look along -z, -x, -y (with Ctrl: along +z, +x, +y)"},
        {"left click, Space", "add a block on the face under the pointer"},
        {"right click, Del", "remove the block under the pointer"},
        {"C  B  G", "collectable, black hole, goal on the face"},
        {"X", "clear the face"},
        {"1 2 3", "ambient colour r g b up (with Shift: down)"},
        {"4 5 6", "light colour r g b up (with Shift: down)"},
        {"arrows, PgUp PgDn", "move the light along x and z, y"},
        {"N", "name the next level (Enter sets it, Esc leaves it)"},
        {"Ctrl+Z, Ctrl+Y", "undo, redo"},
        {"Ctrl+S", "save"},
        {"P", "play this level in the game"},
        {"H", "show or hide this help"},
        {"Esc", "quit (asks once when there are unsaved changes)"},
    };
    return lines;
}

EditorSession::EditorSession(std::string path, VerdictRunner::Judge judge)
    : path_(std::move(path)), saver_(path_), runner_(std::move(judge)) {
    const OpenedLevel opened = openLevelDocument(path_);
    editor_ = LevelEditor(documentFor(opened));
    opened_ = opened.status != OpenedLevel::Status::Refused;
    if (!opened_) {
        refusal_ = opened.lines;
        verdict_.state = Verdict::State::NotLoaded;
        verdict_.text = "not opened";
        say("cannot open " + path_ + "; nothing was changed");
        for (const std::string& line : refusal_) console() << line << std::endl;
        return;
    }
    frame();
    // what the loader left out of the file is gone once it is saved: shown until then
    for (const std::string& line : opened.lines)
        if (isDiagnostic(line)) fileWarnings_.push_back("in the file: " + line);
    if (std::filesystem::path(path_).filename().string().size() > maxLevelNameLength)
        fileWarnings_.push_back("the game loads level files with names of at most 26 characters");
    if (!saver_.leftoverNote().empty()) fileWarnings_.push_back(saver_.leftoverNote());
    for (const std::string& line : fileWarnings_) console() << line << std::endl;
    say(opened.status == OpenedLevel::Status::Created ? "new level " + path_ : "opened " + path_);
    resubmit();
}

void EditorSession::frame() { camera_.frame(editor_.document(), kFieldOfView, kAspect); }

void EditorSession::say(const std::string& message) {
    message_ = message;
    console() << message << std::endl;
}

void EditorSession::resubmit() {
    runner_.submit(editor_.revision(), writeLevelText(editor_.document()));
    verdict_ = runner_.latest();
}

void EditorSession::apply(const EditResult& result) {
    say(result.message);
    if (result.changed) resubmit();
}

bool EditorSession::poll() {
    if (!opened_) return false;
    const Verdict latest = runner_.latest();
    if (latest.revision == verdict_.revision && latest.state == verdict_.state && latest.text == verdict_.text &&
        latest.warnings == verdict_.warnings)
        return false;
    const bool announce = latest.state != Verdict::State::Searching;
    verdict_ = latest;
    if (announce) {
        console() << "verdict: " << verdict_.text << std::endl;
        for (const std::string& w : verdict_.warnings) console() << w << std::endl;
    }
    return true;
}

std::string EditorSession::title() const {
    const std::string name = std::filesystem::path(path_).filename().string();
    return "tumbix-edit: " + name + (editor_.modified() ? "*" : "") + " - " + verdict_.text;
}

std::vector<std::string> EditorSession::statusLines() const {
    std::vector<std::string> lines{message_};
    if (!opened_) {
        lines.insert(lines.end(), refusal_.begin(), refusal_.end());
        return lines;
    }
    if (naming_) lines.push_back("next level: " + typed_ + "_   (Enter sets it, Esc leaves it)");
    lines.push_back(verdict_.text);
    lines.insert(lines.end(), verdict_.warnings.begin(), verdict_.warnings.end());
    lines.insert(lines.end(), fileWarnings_.begin(), fileWarnings_.end());
    return lines;
}

EditorSession::Request EditorSession::onClose() {
    if (!opened_ || !editor_.modified() || confirmingQuit_) return Request::Quit;
    confirmingQuit_ = true;
    say("unsaved changes: close or press Esc again to quit without saving, Ctrl+S saves");
    return Request::None;
}

void EditorSession::save() {
    if (!opened_) {
        say("nothing was opened, so nothing is saved");
        return;
    }
    const LevelSaveGuard::Result saved = saver_.save(editor_.document());
    if (saved.outcome == LevelSaveGuard::Outcome::Saved) {
        editor_.markSaved();
        std::erase_if(fileWarnings_, [&](const std::string& w) {
            return w.rfind("in the file: ", 0) == 0 || w == saver_.leftoverNote();
        });
    }
    say(saved.message);
}

EditorSession::Request EditorSession::onNameKey(int key, bool shift) {
    if (key == keys::Esc) {
        naming_ = false;
        say("next level stays " + editor_.document().next);
    } else if (key == keys::Enter || key == keys::KpEnter) {
        naming_ = false;
        apply(editor_.setNextLevel(typed_));
    } else if (key == keys::Backspace) {
        if (!typed_.empty()) typed_.pop_back();
    } else if (key >= 'A' && key <= 'Z') {
        typed_ += static_cast<char>(shift ? key : key - 'A' + 'a');
    } else if ((key >= '0' && key <= '9') || key == '.') {
        typed_ += static_cast<char>(key);
    } else if (key == '-') {
        typed_ += shift ? '_' : '-';
    }
    return Request::None;
}

EditorSession::Request EditorSession::onKey(int key, bool ctrl, bool shift, const FacePick& pick) {
    if (naming_) return onNameKey(key, shift);
    const bool confirming = confirmingQuit_;
    confirmingQuit_ = false;
    if (key == keys::Esc) {
        confirmingQuit_ = confirming;
        return onClose();
    }
    if (key == 'H' || key == keys::F1) {
        helpShown_ = !helpShown_;
        return Request::None;
    }
    if (!opened_) {
        say("nothing was opened; Esc quits");
        return Request::None;
    }
    if (ctrl && key != keys::Kp0 + 1 && key != keys::Kp0 + 3 && key != keys::Kp0 + 7) {
        if (key == 'S') save();
        if (key == 'Z' && !shift) {
            const bool done = editor_.undo();
            if (done) resubmit();
            say(done ? "undone" : "nothing to undo");
        }
        if (key == 'Y' || (key == 'Z' && shift)) {
            const bool done = editor_.redo();
            if (done) resubmit();
            say(done ? "redone" : "nothing to redo");
        }
        return Request::None;
    }
    const float sign = shift ? -1.0f : 1.0f;
    switch (key) {
    case keys::Space:
        apply(editor_.addBlock(pick));
        break;
    case keys::Del:
    case keys::Backspace:
        apply(editor_.removeBlock(pick));
        break;
    case 'C':
        apply(editor_.setDecal(pick, Decal::Collectable));
        break;
    case 'B':
        apply(editor_.setDecal(pick, Decal::Blackhole));
        break;
    case 'G':
        apply(editor_.setDecal(pick, Decal::Goal));
        break;
    case 'X':
        apply(editor_.setDecal(pick, Decal::Plain));
        break;
    case '1':
    case '2':
    case '3':
        apply(editor_.nudge(Nudge::Ambient, key - '1', sign * kColourStep));
        break;
    case '4':
    case '5':
    case '6':
        apply(editor_.nudge(Nudge::LightColor, key - '4', sign * kColourStep));
        break;
    case keys::Left:
    case keys::Right:
        apply(editor_.nudge(Nudge::LightPosition, 0, key == keys::Right ? kLightStep : -kLightStep));
        break;
    case keys::Up:
    case keys::Down:
        apply(editor_.nudge(Nudge::LightPosition, 2, key == keys::Down ? kLightStep : -kLightStep));
        break;
    case keys::PageUp:
    case keys::PageDown:
        apply(editor_.nudge(Nudge::LightPosition, 1, key == keys::PageUp ? kLightStep : -kLightStep));
        break;
    case 'N':
        naming_ = true;
        typed_.clear();
        say("type the next level's name");
        break;
    case 'F':
        frame();
        break;
    case keys::Kp0 + 1:
    case keys::Kp0 + 3:
    case keys::Kp0 + 7:
        // yaw 0 stands at +z looking along -z; yaw 90 at +x
        camera_.yaw = key == keys::Kp0 + 3 ? 90.0f : 0.0f;
        camera_.pitch = key == keys::Kp0 + 7 ? 89.0f : 0.0f;
        if (ctrl) {
            camera_.yaw += key == keys::Kp0 + 7 ? 0.0f : 180.0f;
            camera_.pitch = -camera_.pitch;
        }
        frame();
        break;
    case 'P':
        return Request::Play;
    default:
        break;
    }
    return Request::None;
}

void EditorSession::onClick(bool left, const FacePick& pick) {
    confirmingQuit_ = false;
    if (!opened_) return;
    apply(left ? editor_.addBlock(pick) : editor_.removeBlock(pick));
}
