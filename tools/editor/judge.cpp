#include "editor/judge.h"

#include "rules/game.h"
#include "log/console.h"
#include "levelcheck/check.h"
#include "solver/solver.h"
#include "world/level.h"
#include "world/light_view.h"

Verdict judgeLevelText(const std::string& text, const std::atomic<bool>& cancel,
                       const std::function<void(const Verdict&)>& progress) {
    Verdict verdict;
    std::unique_ptr<Level> level;
    {
        ConsoleCapture capture;
        level = loadLevelFromText("level", text);
        for (const std::string& line : capture.lines())
            if (isDiagnostic(line)) verdict.warnings.push_back(line);
    }
    if (!level) {
        verdict.state = Verdict::State::NotLoaded;
        verdict.text = "cannot be loaded";
        return verdict;
    }
    if (const std::string w = lightViewWarning(*level); !w.empty()) verdict.warnings.push_back(w);
    progress(verdict);

    ConsoleSilence silence;
    Game game;
    game.setLevel(std::move(level));
    SolveLimits limits;
    limits.cancel = &cancel;
    const SolveResult result = solve(game, limits);
    switch (result.outcome) {
    case SolveResult::Outcome::Won:
        verdict.state = Verdict::State::Winnable;
        verdict.steps = static_cast<int>(result.actions.size());
        verdict.turns = result.turns;
        verdict.text = "winnable in " + std::to_string(verdict.steps) + (verdict.steps == 1 ? " step, " : " steps, ") +
                       std::to_string(verdict.turns) + (verdict.turns == 1 ? " turn" : " turns");
        break;
    case SolveResult::Outcome::NoGoal:
    case SolveResult::Outcome::UnreachableCollectables:
    case SolveResult::Outcome::NoWayToWin:
        verdict.state = Verdict::State::CannotWin;
        verdict.text = describe(result);
        break;
    default:
        verdict.state = Verdict::State::Undecided;
        verdict.text = describe(result);
        break;
    }
    return verdict;
}
