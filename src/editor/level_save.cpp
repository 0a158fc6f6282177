#include "editor/level_save.h"

#include <filesystem>

#include "world/level_writer.h"

namespace fs = std::filesystem;

LevelSaveGuard::LevelSaveGuard(std::string path) : path_(std::move(path)), known_(fileStampOf(path_)) {
    const std::string temporary = saveTemporaryOf(path_);
    std::error_code error;
    if (fs::exists(fs::symlink_status(temporary, error)))
        leftover_ = "a save that did not finish left " + temporary + " (the level file itself is whole; the next save replaces it)";
}

LevelSaveGuard::Result LevelSaveGuard::save(const LevelDocument& document) {
    const FileStamp now = fileStampOf(path_);
    if (now != known_ && !overwriteConfirmed_) {
        overwriteConfirmed_ = true;
        const char* what = now.exists ? "changed on disk" : "was removed";
        return {Outcome::Asked, path_ + " " + what + " since it was opened or saved here: Ctrl+S again overwrites it"};
    }
    const SaveResult saved = saveFileSafely(path_, writeLevelText(document));
    if (!saved.ok()) return {Outcome::Failed, saved.error + "; the edits are kept"};
    known_ = saved.stamp;
    overwriteConfirmed_ = false;
    return {Outcome::Saved, "saved " + path_};
}
