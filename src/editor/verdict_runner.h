#pragma once
// The live verdict of the level being edited: a worker thread judges the
// newest version of the level text while the editor goes on; a newer version
// cancels the judgement of an older one.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Verdict {
    enum class State { Searching, Winnable, CannotWin, Undecided, NotLoaded };
    State state = State::Searching;
    std::string text = "searching\u2026";  // the line for title and status
    std::vector<std::string> warnings;     // the loader's warnings and errors about the level
    int steps = 0, turns = 0;              // of the shortest win, when Winnable
    std::uint64_t revision = 0;            // the version of the level judged
};

class VerdictRunner {
public:
    // Judges level text; returns early with any verdict once `cancel` is set.
    // It may report what it knows before the end through `progress` (a
    // Searching verdict with the loader's warnings).
    using Judge = std::function<Verdict(const std::string& text, const std::atomic<bool>& cancel,
                                        const std::function<void(const Verdict&)>& progress)>;

    explicit VerdictRunner(Judge judge);
    // Cancels the running judgement and waits for the worker to stop.
    ~VerdictRunner();
    VerdictRunner(const VerdictRunner&) = delete;
    VerdictRunner& operator=(const VerdictRunner&) = delete;

    // Starts judging version `revision` of the level, cancelling whatever
    // runs. Revisions identify versions; they need not grow.
    void submit(std::uint64_t revision, std::string text);
    // Returns the verdict of the newest submission as far as it is known
    // (Searching until the judge has finished with it).
    Verdict latest() const;
    // Waits up to `seconds` for the newest submission's final verdict;
    // returns whether it arrived.
    bool waitFinished(double seconds) const;

private:
    void work();

    Judge judge_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::atomic<bool> cancel_{false};
    bool stop_ = false;
    bool pending_ = false;
    std::uint64_t newest_ = 0;
    std::string text_;
    Verdict latest_;
    std::thread worker_;
};
