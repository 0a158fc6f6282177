#include "editor/thread_console.h"

#include <iostream>

namespace {

// Forwards every write to the calling thread's chosen buffer.
class Dispatch : public std::streambuf {
public:
    explicit Dispatch(std::streambuf* fallback) : fallback_(fallback) {}
    static thread_local std::streambuf* target;  // null: the fallback

protected:
    int overflow(int c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        return current()->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override { return current()->sputn(s, n); }
    int sync() override { return current()->pubsync(); }

private:
    std::streambuf* current() const { return target ? target : fallback_; }
    std::streambuf* fallback_;
};

thread_local std::streambuf* Dispatch::target = nullptr;

// Swallows everything.
class Sink : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

Dispatch* installed = nullptr;
std::streambuf* original = nullptr;

}  // namespace

ThreadConsole::ThreadConsole() {
    original = std::cout.rdbuf();
    installed = new Dispatch(original);
    std::cout.rdbuf(installed);
}

ThreadConsole::~ThreadConsole() {
    std::cout.rdbuf(original);
    delete installed;
    installed = nullptr;
}

ThreadCapture::ThreadCapture(bool keep) : swapped_(installed == nullptr) {
    static thread_local Sink sink;
    std::streambuf* mine = keep ? static_cast<std::streambuf*>(&buffer_) : &sink;
    if (swapped_) {
        previous_ = std::cout.rdbuf(mine);
    } else {
        previous_ = Dispatch::target;
        Dispatch::target = mine;
    }
}

ThreadCapture::~ThreadCapture() {
    if (swapped_)
        std::cout.rdbuf(previous_);
    else
        Dispatch::target = previous_;
}

std::vector<std::string> ThreadCapture::lines() const {
    std::vector<std::string> out;
    std::istringstream in(buffer_.str());
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}
