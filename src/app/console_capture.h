#pragma once
// Redirects std::cout into a string for its lifetime: for tests and tools
// that run game code and read what it prints.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

class ConsoleCapture {
public:
    ConsoleCapture() : old_(std::cout.rdbuf(buffer_.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(old_); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Returns everything printed so far.
    std::string text() const { return buffer_.str(); }
    // Returns the lines printed so far.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::istringstream in(buffer_.str());
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    // Returns the lines printed so far and forgets them.
    std::vector<std::string> take() {
        std::vector<std::string> out = lines();
        buffer_.str("");
        return out;
    }

private:
    std::ostringstream buffer_;
    std::streambuf* old_;
};
