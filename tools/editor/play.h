#pragma once
// Playing the level being edited in the real game: a scratch copy of the
// content folder in which the level is "maps/level0.xml", the first level the
// game loads, and the game started there while the editor stays open.

#include <string>
#include <sys/types.h>
#include <vector>

#include "editor/level_document.h"

// Copies `contentDir` into a new folder under the system's temporary folder
// and writes the document there as maps/level0.xml (the other levels stay, so
// its "next" leads on as in the campaign). Returns the folder, or "" with
// `error` set.
std::string preparePlayFolder(const LevelDocument& document, const std::string& contentDir, std::string& error);

// Starts games and removes their folders once they have ended.
class PlayLauncher {
public:
    PlayLauncher() = default;
    PlayLauncher(const PlayLauncher&) = delete;
    PlayLauncher& operator=(const PlayLauncher&) = delete;
    // Starts `gameBinary` in a fresh play folder, its console in the folder's
    // "console.log". Returns the status line.
    std::string start(const LevelDocument& document, const std::string& contentDir, const std::string& gameBinary);
    // Reaps ended games and removes their folders; returns how many ended.
    int poll();
    // Ends every game still running (asked to stop, then killed after
    // `graceSeconds`) and removes every play folder: the editor quits.
    void stopAll(double graceSeconds = 3.0);
    ~PlayLauncher() { stopAll(); }
    int running() const { return static_cast<int>(games_.size()); }

private:
    struct Game {
        pid_t pid;
        std::string folder;
    };
    std::vector<Game> games_;
};

// Returns the game program to start: "tumbix" next to this program when it
// is there, else "tumbix" as found on the PATH.
std::string gameBinaryBeside(const std::string& selfPath);
