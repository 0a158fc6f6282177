#pragma once
// The game's console log. Every line the game prints goes to console(),
// ended with std::endl (a flush): standard output, unless a ConsoleCapture
// or ConsoleSilence is alive, which tests, tools and benchmarks use to read
// or drop what the game says.

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// Returns the stream the game's lines go to now.
std::ostream& console();

// Sends console() to `target` for its lifetime, then back to where it went
// before. Redirections nest.
class ConsoleRedirect {
public:
    explicit ConsoleRedirect(std::ostream& target);
    ~ConsoleRedirect();
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

private:
    std::ostream* previous_;
};

// Collects the game's lines in a string for its lifetime.
class ConsoleCapture {
public:
    ConsoleCapture() : redirect_(buffer_) {}

    // Returns everything printed so far.
    std::string text() const { return buffer_.str(); }
    // Returns the lines printed so far.
    std::vector<std::string> lines() const;
    // Returns the lines printed so far and forgets them.
    std::vector<std::string> take();

private:
    std::ostringstream buffer_;
    ConsoleRedirect redirect_;
};

// Drops the game's lines for its lifetime.
class ConsoleSilence {
public:
    ConsoleSilence() : redirect_(sink_) {}

private:
    std::ostream sink_{nullptr};  // no buffer: every write is discarded
    ConsoleRedirect redirect_;
};
