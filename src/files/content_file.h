#pragma once
// Reading a content file whole: every reader of levels, models, textures,
// fonts, shaders and sounds goes through here, so a directory, a FIFO, a
// device, an oversized file or a failing read is refused the same way and
// never blocks, throws or fills the memory.

#include <cstddef>
#include <string>

// What a file holds, for its size limit.
enum class ContentKind { Level, Model, Texture, Font, Shader, Sound };

// Largest file of a kind that is read, in bytes.
std::size_t contentSizeLimit(ContentKind kind);

// The result of reading one file: `text` holds its bytes when `why` is empty;
// otherwise `why` says in a few words why nothing was read ("is a directory",
// "is larger than 16777216 bytes", "No such file or directory", ...) and
// `missing` tells whether the file simply is not there.
struct ContentFile {
    std::string text;
    std::string why;
    bool missing = false;
    bool ok() const { return why.empty(); }
};

// Reads `path` when it is a regular file of at most the kind's size limit.
// Opening does not wait for a writer (a FIFO is refused, not waited on).
ContentFile readContentFile(const std::string& path, ContentKind kind);

// Returns the one console line of a refused file:
// "ERROR: cannot read " + path + ": " + why.
std::string contentRefusal(const std::string& path, const ContentFile& file);
