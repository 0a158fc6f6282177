#pragma once
// The editor's verdict on a level text, from the game's loader and the
// level checker's search.

#include <atomic>
#include <functional>
#include <string>

#include "editor/verdict_runner.h"

// Loads the text with the game's loader and searches it for the shortest
// win: "winnable in N steps, M turns", "cannot be won: ..." with the
// checker's reason, or "undecided: ..." when the search gave up or was
// cancelled. The loader's warnings and errors come with it (and through
// `progress` before the search starts). Prints nothing: what the game says
// while it runs is dropped on this thread only.
Verdict judgeLevelText(const std::string& text, const std::atomic<bool>& cancel,
                       const std::function<void(const Verdict&)>& progress);
