#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/safe_save.h"

namespace fs = std::filesystem;

namespace {

class SafeSave : public ::testing::Test {
protected:
    SafeSave() {
        std::string pattern = (fs::temp_directory_path() / "tumbix-save-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
        dir = pattern;
    }
    ~SafeSave() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    static mode_t modeOf(const fs::path& file) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_mode & 07777;
    }

    fs::path dir;
};

}  // namespace

TEST_F(SafeSave, ReplacesTheFileKeepingItsModeAndLeavesNoTemporaryFile) {
    const fs::path file = dir / "a.xml";
    write(file, "old");
    ::chmod(file.c_str(), 0600);
    const SaveResult saved = saveFileSafely(file.string(), "new");
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(read(file), "new");
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(saved.stamp, fileStampOf(file.string()));
    EXPECT_FALSE(fs::exists(saveTemporaryOf(file.string())));
    // a new file gets the usual mode, and a temporary file left by a killed save is replaced
    const fs::path fresh = dir / "b.xml";
    write(saveTemporaryOf(fresh.string()), "half of a level");
    ASSERT_TRUE(saveFileSafely(fresh.string(), "whole").ok());
    EXPECT_EQ(read(fresh), "whole");
    EXPECT_FALSE(fs::exists(saveTemporaryOf(fresh.string())));
}

TEST_F(SafeSave, ALinkIsFollowedAndItsTargetSaved) {
    fs::create_directory(dir / "real");
    const fs::path target = dir / "real" / "a.xml";
    write(target, "old");
    const fs::path link = dir / "link.xml";
    fs::create_symlink("real/a.xml", link);
    const fs::path chained = dir / "chained.xml";
    fs::create_symlink("link.xml", chained);
    ASSERT_TRUE(saveFileSafely(chained.string(), "new").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chained));
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(saveTargetOf(chained.string()), (dir / "real" / "a.xml").string());
    // a link to a file not there yet makes that file
    const fs::path dangling = dir / "dangling.xml";
    fs::create_symlink("real/later.xml", dangling);
    ASSERT_TRUE(saveFileSafely(dangling.string(), "first").ok());
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(read(dir / "real" / "later.xml"), "first");
}

// Each refusal leaves the old file as it was and says why in one line.
TEST_F(SafeSave, WhatCannotBeSavedIsRefusedAndTheOldFileStays) {
    const fs::path readOnly = dir / "ro.xml";
    write(readOnly, "old");
    ::chmod(readOnly.c_str(), 0444);
    const fs::path folder = dir / "folder.xml";
    fs::create_directory(folder);
    const fs::path lockedDir = dir / "locked";
    fs::create_directory(lockedDir);
    write(lockedDir / "a.xml", "old");
    ::chmod(lockedDir.c_str(), 0555);
    const bool root = ::geteuid() == 0;  // root writes into any folder
    const struct {
        fs::path path;
        std::string error;
    } cases[] = {
        {readOnly, "cannot save " + readOnly.string() + ": the file is read-only; nothing was written"},
        {folder, "cannot save " + folder.string() + ": not a regular file"},
        {dir / "no" / "such.xml", "cannot save " + (dir / "no" / "such.xml").string() + ": No such file or directory"},
        {root ? fs::path() : lockedDir / "a.xml",
         "cannot save " + (lockedDir / "a.xml").string() + ": Permission denied"},
    };
    for (const auto& c : cases) {
        if (c.path.empty()) continue;
        SCOPED_TRACE(c.path);
        const std::string before = fs::is_regular_file(c.path) ? read(c.path) : "";
        EXPECT_EQ(saveFileSafely(c.path.string(), "new").error, c.error);
        if (fs::is_regular_file(c.path)) {
            EXPECT_EQ(read(c.path), before);
        }
    }
    EXPECT_EQ(modeOf(readOnly), 0444u);
}

// A disk that fills up during the write: the old file stays whole and the
// half-written temporary file is removed (the file size limit stands in for
// the full disk).
TEST_F(SafeSave, AWriteThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    const fs::path file = dir / "a.xml";
    const std::string old(3000, 'o');
    write(file, old);
    struct rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const SaveResult saved = saveFileSafely(file.string(), std::string(100000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(saved.error, "cannot save " + file.string() + ": File too large");
    EXPECT_EQ(read(file), old);
    EXPECT_FALSE(fs::exists(saveTemporaryOf(file.string())));
}
