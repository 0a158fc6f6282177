#include "log/console.h"

#include <iostream>

namespace {

// Each thread redirects its own lines: a search on a worker thread silences
// itself without touching what the thread that prints writes.
thread_local std::ostream* target = &std::cout;

}  // namespace

std::ostream& console() { return *target; }

ConsoleRedirect::ConsoleRedirect(std::ostream& to) : previous_(target) { target = &to; }

ConsoleRedirect::~ConsoleRedirect() { target = previous_; }

std::vector<std::string> ConsoleCapture::lines() const {
    std::vector<std::string> out;
    std::istringstream in(buffer_.str());
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> ConsoleCapture::take() {
    std::vector<std::string> out = lines();
    buffer_.str("");
    return out;
}
