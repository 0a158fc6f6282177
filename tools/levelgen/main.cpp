// levelgen: generates a level the solver proves winnable.
//   levelgen --seed N [--blocks A..B] [--shape rows|decks|towers|stairs|
//            bridges|rings|cubes|wraps|mixed] [--collectables A..B]
//            [--holes A..B] [--min-turns N] [--max-turns N] [--min-steps N]
//            [--max-steps N] [--min-heights N] [--min-trap-share F]
//            [--needs-turn] [--verbose] [--tries N] [--rounds N] [--max-states N] [--title TEXT]
//            [--next NAME] [--from LEVEL.xml] [-o FILE]
//            [--min-visited-share F] [--min-heights-visited N] [--min-window S] [--ideas LIST]
// The last four constrain the designated line (levelcheck --stats): the share
// of the blocks it stands on, its heights, its narrowest press window in
// seconds (0.25 at least: a person's), and the ideas it must use.
// --help prints the options and the shape families and exits 0.
//   levelgen --describe FILE [-o FILE]
// writes the level described in plain lines (levelgen/describe.h; FILE "-"
// for standard input) without searching: the game's level writer and light
// placement for scripts that build levels by hand.
// --from starts from a level file (in a maps folder) instead of new
// structures and changes only its decals. The same options give the same file. Writes the level (to FILE, or to
// standard output) and prints its figures; exit status 1 when no candidate
// met the constraints, 2 on a usage error.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "rules/game.h"
#include "levelcheck/check.h"
#include "levelgen/describe.h"
#include "levelgen/generate.h"
#include "world/level.h"

namespace {

const char kUsage[] =
    "usage: levelgen --seed N [--blocks A..B] [--shape NAME] [--collectables A..B] [--holes A..B]\n"
    "                [--min-turns N] [--max-turns N] [--min-steps N] [--max-steps N]\n"
    "                [--min-heights N] [--min-trap-share F] [--needs-turn] [--verbose] [--tries N] [--rounds N]\n"
    "                [--max-states N] [--title TEXT] [--next NAME] [--from LEVEL.xml]\n"
    "                [--min-visited-share F] [--min-heights-visited N] [--min-window S] [--ideas LIST]\n"
    "                [-o FILE]\n"
    "       levelgen --describe FILE [-o FILE]\n";

int usage(const std::string& what) {
    std::cerr << "levelgen: " << what << "\n" << kUsage;
    return 2;
}

// --help: the options, the shape families and the ideas, on standard output.
int help() {
    std::cout << kUsage << "\nshape families:";
    for (int s = 0; s <= static_cast<int>(Shape::Mixed); ++s) std::cout << " " << shapeName(static_cast<Shape>(s));
    std::cout << "\nideas (--ideas, comma-separated):";
    for (int i = 0; i < static_cast<int>(Idea::Count); ++i) std::cout << " " << ideaName(static_cast<Idea>(i));
    std::cout << "\n--min-visited-share F: the designated line stands on at least this share (0..1) of the blocks\n"
                 "--min-heights-visited N: ... on blocks of at least N heights\n"
                 "--min-window S: every press of the designated line has at least S seconds (default 0.25)\n"
                 "--ideas LIST: the designated line uses every idea named\n"
                 "See docs/levels.md for the rest.\n";
    return 0;
}

// Reads a number in lo..hi. False on anything else.
bool readReal(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

bool readInt(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out >= 0;
}

}  // namespace

// Writes `xml` to `outFile` (standard output when empty); false when it cannot.
bool writeOut(const std::string& xml, const std::string& outFile) {
    if (outFile.empty()) {
        std::cout << xml;
        return static_cast<bool>(std::cout.flush());
    }
    std::ofstream out(outFile);
    out << xml;
    if (out.flush()) return true;
    std::cerr << "levelgen: cannot write " << outFile << "\n";
    return false;
}

// --describe: the level of a plain description, written without a search.
int describeLevel(const std::string& from, const std::string& outFile) {
    std::ifstream file;
    if (from != "-") {
        file.open(from);
        if (!file) {
            std::cerr << "levelgen: cannot read " << from << "\n";
            return 1;
        }
    }
    LevelText text;
    std::string error;
    if (!readDescription(from == "-" ? std::cin : file, text, error)) {
        std::cerr << "levelgen: " << from << " " << error << "\n";
        return 1;
    }
    return writeOut(writeLevelText(text), outFile) ? 0 : 1;
}

int main(int argc, char** argv) {
    GenerateOptions o;
    std::string outFile;
    std::string description;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") return help();
        if (arg == "--needs-turn" || arg == "--verbose") {
            (arg == "--verbose" ? o.verbose : o.needsTurn) = true;
            continue;
        }
        if (i + 1 >= argc) return usage("missing value after " + arg);
        const char* value = argv[++i];
        long n = 0;
        if (arg == "--blocks" || arg == "--collectables" || arg == "--holes") {
            Range r;
            if (!parseRange(value, r)) return usage("bad range for " + arg + ": " + value);
            (arg == "--blocks" ? o.blocks : arg == "--collectables" ? o.collectables : o.holes) = r;
            if (arg == "--blocks" && r.lo < 2) return usage("--blocks needs at least 2");
        } else if (arg == "--shape") {
            if (!parseShape(value, o.shape)) return usage(std::string("unknown shape: ") + value);
        } else if (arg == "--min-trap-share") {
            char* end = nullptr;
            o.minTrapShare = std::strtod(value, &end);
            if (end == value || *end != '\0' || o.minTrapShare < 0.0 || o.minTrapShare > 1.0)
                return usage(std::string("bad share: ") + value);
        } else if (arg == "--min-visited-share") {
            if (!readReal(value, 0.0, 1.0, o.minVisitedShare)) return usage(std::string("bad share: ") + value);
        } else if (arg == "--min-window") {
            if (!readReal(value, kPersonWindow, 10.0, o.minWindow))
                return usage(std::string("bad window (0.25 to 10 seconds): ") + value);
        } else if (arg == "--ideas") {
            if (!parseIdeas(value, o.ideas)) return usage(std::string("unknown idea in: ") + value);
        } else if (arg == "--title") {
            o.title = value;
        } else if (arg == "--next") {
            o.next = value;
        } else if (arg == "--from") {
            std::vector<std::string> lines;
            std::unique_ptr<Level> level = loadLevelFile(value, lines);
            if (!level) return usage(std::string("cannot load ") + value);
            level->reset();
            o.start = levelTextOf(*level);
        } else if (arg == "-o") {
            outFile = value;
        } else if (arg == "--describe") {
            description = value;
        } else if (readInt(value, n)) {
            if (arg == "--seed") o.seed = static_cast<std::uint64_t>(n);
            else if (arg == "--min-turns") o.minTurns = static_cast<int>(n);
            else if (arg == "--max-turns") o.maxTurns = static_cast<int>(n);
            else if (arg == "--min-steps") o.minSteps = static_cast<int>(n);
            else if (arg == "--max-steps") o.maxSteps = static_cast<int>(n);
            else if (arg == "--min-heights") o.minHeights = static_cast<int>(n);
            else if (arg == "--min-heights-visited") o.minHeightsVisited = static_cast<int>(n);
            else if (arg == "--tries" && n > 0) o.tries = static_cast<int>(n);
            else if (arg == "--rounds") o.rounds = static_cast<int>(n);
            else if (arg == "--max-states" && n > 0) o.maxStates = static_cast<std::size_t>(n);
            else return usage("unknown option " + arg);
        } else {
            return usage("bad value for " + arg + ": " + value);
        }
    }
    if (!description.empty()) return describeLevel(description, outFile);
    if (o.title.empty())
        o.title = std::string("generated by levelgen, seed ") + std::to_string(o.seed) + ", shape " + shapeName(o.shape);

    Game game;
    std::string why;
    const std::optional<Generated> level = generate(game, o, &why);
    if (!level) {
        std::cerr << "levelgen: no level met the constraints in " << o.tries << " tries (last: " << why << ")\n";
        return 1;
    }
    const std::string xml = writeLevelText(level->text);
    std::ostream* report = &std::cout;
    if (outFile.empty()) {
        std::cout << xml;
        report = &std::cerr;
    } else {
        std::ofstream out(outFile);
        out << xml;
        if (!out.flush()) {
            std::cerr << "levelgen: cannot write " << outFile << "\n";
            return 1;
        }
    }
    *report << "candidate " << level->attempt << ": " << describe(level->stats.shortest) << "\n";
    writeStats(level->stats, *report);
    return 0;
}
