#pragma once
// The designated line of a level and what a person needs to play it.
//
// A press's window is the game time during which pressing it gives the same
// step: from the moment the step begins until turns are refused (progress
// 0.5) or, when the last collectable lies under the avatar, until it is taken
// and opens the goal (progress 0.35). A step begins at progress
// 0 after a plain step, at 0.3 after a bounce and at -0.47 after a roll over
// an edge; the roll advances 2 progress a second. The key that starts the
// roll has no limit.
//
// The designated line is the winning line the level ships with: among the
// wins in which every press has a window of at least kPersonWindow, the
// shortest (ties: fewest turns). Its figures are read by replaying it
// through the game's rules at 60 frames a second.

#include <limits>
#include <string>
#include <vector>

class Game;
enum class Action : char;

// The narrowest window a person is asked to hit, in seconds.
inline constexpr double kPersonWindow = 0.25;
// The window of a press that has no limit (the key that starts the roll).
inline constexpr double kUnlimitedWindow = std::numeric_limits<double>::infinity();

// How the step the game stands at began: after a plain step (or before the
// start), after a roll over an edge, or after a bounce.
enum class StepStart : char { Plain, AfterEdge, AfterBounce };
// Returns how the current step began, read from its progress at a decision
// point (a frame may carry the progress up to 0.2 past where the step began).
StepStart stepStart(const Game& game);

// Returns the window, in seconds, of an A or F pressed at the decision point
// the game stands at (kUnlimitedWindow before the start).
double pressWindow(const Game& game);

// What a line of play makes use of. The names are those of levelcheck --stats
// and levelgen --ideas; docs/levels.md defines each.
enum class Idea : int { Edge, Wall, Collect, Blackhole, Turn, StartTurn, Underside, Carry, Climb, Count };
using IdeaSet = unsigned;  // bit (1 << Idea)
constexpr IdeaSet ideaBit(Idea idea) { return 1u << static_cast<int>(idea); }
const char* ideaName(Idea idea);
// Returns the ideas named in a comma-separated list ("edge,wall"); false on
// an unknown name or an empty list.
bool parseIdeas(const std::string& list, IdeaSet& ideas);
// Returns "edge, wall, ..." in the order above, "none" for no idea.
std::string ideaList(IdeaSet ideas);

// The figures of a line of play.
struct LineFigures {
    bool won = false;             // the line, replayed at 60 frames a second, wins
    std::vector<double> windows;  // per step: the window of its press; 0 for a step without a press
    std::vector<double> times;    // per step: game seconds from the start key to the step's beginning
    double narrowest = kUnlimitedWindow;  // the smallest window of a press after the start
    int steps = 0;
    int turns = 0;           // A and F presses, the start included
    int blocksVisited = 0;   // distinct blocks the avatar stands on
    int heightsVisited = 0;  // distinct y of those blocks
    IdeaSet ideas = 0;

    bool uses(Idea idea) const { return (ideas & ideaBit(idea)) != 0; }
    // Whether the line has a press after the start.
    bool hasPress() const { return narrowest != kUnlimitedWindow; }
};

// Replays `actions` on the current level of `game` at 60 frames a second and
// measures the line. The game is left at the end of the line.
LineFigures measureLine(Game& game, const std::vector<Action>& actions);
