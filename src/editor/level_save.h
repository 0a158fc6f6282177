#pragma once
// Saving the level being edited without losing anyone's work: the file's
// stamp is kept from the moment it was opened or last saved, and a save that
// finds the file changed on disk since (another editor, a generator run)
// asks first; a temporary file left by a save that was killed is reported
// when the level is opened.

#include <string>

#include "editor/level_document.h"
#include "files/safe_save.h"

class LevelSaveGuard {
public:
    // Takes the stamp of `path` as it is now, when the document is opened.
    explicit LevelSaveGuard(std::string path);

    // The line about a temporary file left by an unfinished save; "" when none.
    const std::string& leftoverNote() const { return leftover_; }

    enum class Outcome { Saved, Asked, Failed };
    struct Result {
        Outcome outcome;
        std::string message;  // the status line to show
    };
    // Saves the document, unless the file changed on disk since it was opened
    // or last saved: then the first call only asks (Asked), and the next call
    // overwrites it.
    Result save(const LevelDocument& document);

private:
    std::string path_;
    FileStamp known_;
    bool overwriteConfirmed_ = false;
    std::string leftover_;
};
