#pragma once
// Saving a file so that no crash, kill or full disk can lose it: the new text
// goes to a temporary file in the same folder, reaches the disk, takes the old
// file's mode and then replaces the old file in one rename; the folder is
// synced after. Either the old file or the new one is there, never half of
// either. Used by the level editor and by the level generator's -o.

#include <cstdint>
#include <string>

// What a file on disk was when it was last read or written, to notice that
// someone else changed it since (symbolic links followed).
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// Returns the stamp of `path` now; `exists` false when there is none.
FileStamp fileStampOf(const std::string& path);

// Returns the file a save of `path` writes: `path` itself, or the final
// target when it is a symbolic link (a dangling link names the file to make).
std::string saveTargetOf(const std::string& path);

// Returns the temporary file a save of `path` writes before the rename; one
// left over after a save was killed is replaced by the next save.
std::string saveTemporaryOf(const std::string& path);

// The result of a save: `error` empty when the file was replaced, else one
// line saying why nothing changed ("cannot save F: ...").
struct SaveResult {
    std::string error;
    FileStamp stamp;  // the saved file's stamp, when saved
    bool ok() const { return error.empty(); }
};

// Writes `text` as the new contents of `path` (through a link to its target),
// keeping the old file's permissions. A read-only file, a target that is not
// a regular file and every failed step are refused with the old file left as
// it was.
SaveResult saveFileSafely(const std::string& path, const std::string& text);
