#include "editor/verdict_runner.h"

#include <chrono>

VerdictRunner::VerdictRunner(Judge judge) : judge_(std::move(judge)) { worker_ = std::thread([this] { work(); }); }

VerdictRunner::~VerdictRunner() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        cancel_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void VerdictRunner::submit(std::uint64_t revision, std::string text) {
    {
        std::lock_guard lock(mutex_);
        newest_ = revision;
        text_ = std::move(text);
        pending_ = true;
        cancel_ = true;
        latest_ = Verdict{};
        latest_.revision = revision;
    }
    changed_.notify_all();
}

Verdict VerdictRunner::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

bool VerdictRunner::waitFinished(double seconds) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::duration<double>(seconds),
                             [this] { return !pending_ && latest_.state != Verdict::State::Searching; });
}

void VerdictRunner::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_) return;
        const std::uint64_t revision = newest_;
        const std::string text = std::move(text_);
        pending_ = false;
        cancel_ = false;
        lock.unlock();
        const auto publish = [&](Verdict v) {
            std::lock_guard relock(mutex_);
            if (pending_ || newest_ != revision) return;  // a newer version is waiting
            v.revision = revision;
            latest_ = std::move(v);
            changed_.notify_all();
        };
        const auto progress = [&](const Verdict& v) {
            Verdict partial = v;
            partial.state = Verdict::State::Searching;
            publish(std::move(partial));
        };
        Verdict verdict = judge_(text, cancel_, progress);
        if (!cancel_) publish(std::move(verdict));
        lock.lock();
    }
}
