#include "editor/play.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

std::string preparePlayFolder(const LevelDocument& document, const std::string& contentDir, std::string& error) {
    std::string pattern = (fs::temp_directory_path() / "tumbix-play-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a play folder: " + std::string(std::strerror(errno));
        return "";
    }
    const fs::path folder = pattern;
    std::error_code failed;
    fs::copy(contentDir, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing, failed);
    if (!failed) fs::create_directories(folder / "maps", failed);
    if (failed) {
        error = "cannot copy " + contentDir + " to " + folder.string() + ": " + failed.message();
        fs::remove_all(folder, failed);
        return "";
    }
    const std::string saveError = saveLevelDocument(document, (folder / "maps" / "level0.xml").string());
    if (!saveError.empty()) {
        error = saveError;
        fs::remove_all(folder, failed);
        return "";
    }
    return folder.string();
}

std::string PlayLauncher::start(const LevelDocument& document, const std::string& contentDir,
                                const std::string& gameBinary) {
    std::string error;
    const std::string folder = preparePlayFolder(document, contentDir, error);
    if (folder.empty()) return error;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = folder + "/console.log";
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    char* argv[] = {const_cast<char*>(gameBinary.c_str()), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, gameBinary.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        return "cannot start " + gameBinary + ": " + std::strerror(failed);
    }
    games_.push_back({pid, folder});
    return "playing in " + folder + " (game process " + std::to_string(pid) + ")";
}

int PlayLauncher::poll() {
    int ended = 0;
    for (auto it = games_.begin(); it != games_.end();) {
        int status = 0;
        if (::waitpid(it->pid, &status, WNOHANG) == it->pid) {
            std::error_code ignored;
            fs::remove_all(it->folder, ignored);
            it = games_.erase(it);
            ++ended;
        } else {
            ++it;
        }
    }
    return ended;
}

void PlayLauncher::stopAll(double graceSeconds) {
    for (const Game& game : games_) ::kill(game.pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(graceSeconds);
    while (poll(), !games_.empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (const Game& game : games_) {
        ::kill(game.pid, SIGKILL);
        ::waitpid(game.pid, nullptr, 0);
        std::error_code ignored;
        fs::remove_all(game.folder, ignored);
    }
    games_.clear();
}

std::string gameBinaryBeside(const std::string& selfPath) {
    std::error_code error;
    const fs::path beside = fs::path(selfPath).parent_path() / "tumbix";
    if (!selfPath.empty() && fs::exists(beside, error)) return beside.string();
    return "tumbix";
}
