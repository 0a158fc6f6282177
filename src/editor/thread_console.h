#pragma once
// std::cout shared by threads that each want their own: once installed, what
// a thread writes goes to the stream that thread has chosen (the real
// standard output unless it captures or silences), so a search on a worker
// thread never swaps the stream under the thread that prints.

#include <sstream>
#include <string>
#include <vector>

// Routes std::cout through the per-thread choice for its lifetime. One at a
// time; install it before starting other threads that print.
class ThreadConsole {
public:
    ThreadConsole();
    ~ThreadConsole();
    ThreadConsole(const ThreadConsole&) = delete;
    ThreadConsole& operator=(const ThreadConsole&) = delete;
};

// Keeps what this thread writes to std::cout for its lifetime (nothing when
// `keep` is false). Works with or without an installed ThreadConsole; without
// one it swaps std::cout itself, which is only safe on a single thread.
class ThreadCapture {
public:
    explicit ThreadCapture(bool keep = true);
    ~ThreadCapture();
    ThreadCapture(const ThreadCapture&) = delete;
    ThreadCapture& operator=(const ThreadCapture&) = delete;

    // Returns the lines written so far.
    std::vector<std::string> lines() const;

private:
    std::stringbuf buffer_;
    std::streambuf* previous_;
    bool swapped_;
};
