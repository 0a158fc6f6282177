// The level tools' command lines: numbers whole and in range or refused,
// never clamped or wrapped; every option in --help.
#include <gtest/gtest.h>

#include "levelgen/command_line.h"

namespace {

struct Parsed {
    CommandLine line;
    GenerateOptions options;
    std::string outFile;
};

Parsed parse(std::vector<const char*> args) {
    Parsed parsed;
    args.insert(args.begin(), "levelgen");
    const std::vector<Option> table = levelgenOptions(parsed.options, parsed.outFile);
    parsed.line = parseCommandLine(static_cast<int>(args.size()), args.data(), table);
    return parsed;
}

}  // namespace

TEST(ToolOptions, NumbersOutOfRangeOrNotWholeAreRefusedNamingTheOption) {
    const struct {
        std::vector<const char*> args;
        const char* refusal;
    } cases[] = {
        {{"--max-steps", "4294967296"}, "--max-steps: 4294967296 is out of range (0 to 2147483647)"},
        {{"--seed", "18446744073709551616"}, "--seed: 18446744073709551616 is out of range (0 to 18446744073709551615)"},
        {{"--seed", "-1"}, "--seed: -1 is not a whole number"},
        {{"--tries", "0"}, "--tries: 0 is out of range (1 to 1000000)"},
        {{"--tries", "12x"}, "--tries: 12x is not a whole number"},
        {{"--tries", ""}, "--tries:  is not a whole number"},
        {{"--max-states", "0"}, "--max-states: 0 is out of range (1 to 1000000000)"},
        {{"--min-trap-share", "1.5"}, "--min-trap-share: 1.5 is out of range (0 to 1)"},
        {{"--min-trap-share", "nan"}, "--min-trap-share: nan is not a number"},
        {{"--blocks", "1..4"}, "--blocks: 1..4 starts below 2"},
        {{"--blocks", "9..4"}, "--blocks: 9..4 is not a range A..B of whole numbers"},
        {{"--next", "a-level-name-far-too-long.xml"},
         "--next: a-level-name-far-too-long.xml is not a level name (1 to 26 letters, digits, '.', '-', '_')"},
        {{"--next", "../maps/level0.xml"},
         "--next: ../maps/level0.xml is not a level name (1 to 26 letters, digits, '.', '-', '_')"},
        {{"--shape", "blob"}, "--shape: unknown shape blob"},
        {{"--tries"}, "missing N after --tries"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Parsed parsed = parse(c.args);
        EXPECT_EQ(parsed.line.status, CommandLine::Status::Refused);
        EXPECT_EQ(parsed.line.refusal, c.refusal);
    }
}

TEST(ToolOptions, ValuesAtTheEdgesOfTheirRangesAreTakenExactly) {
    const Parsed parsed = parse({"--seed", "18446744073709551615", "--max-steps", "2147483647", "--tries", "1",
                                 "--min-trap-share", "1", "--next", "abcdefghijklmnopqrstuv.xml", "-o", "x.xml",
                                 "--needs-turn"});
    ASSERT_EQ(parsed.line.status, CommandLine::Status::Run) << parsed.line.refusal;
    EXPECT_EQ(parsed.options.seed, 18446744073709551615u);
    EXPECT_EQ(parsed.options.maxSteps, 2147483647);
    EXPECT_EQ(parsed.options.tries, 1);
    EXPECT_EQ(parsed.options.minTrapShare, 1.0);
    EXPECT_EQ(parsed.options.next, "abcdefghijklmnopqrstuv.xml");
    EXPECT_EQ(parsed.outFile, "x.xml");
    EXPECT_TRUE(parsed.options.needsTurn);
    EXPECT_EQ(parse({"--seed", "9223372036854775808"}).options.seed, 9223372036854775808u);
}

TEST(ToolOptions, HelpListsEveryOption) {
    EXPECT_EQ(parse({"--verbose", "--help"}).line.status, CommandLine::Status::Help);
    EXPECT_EQ(parse({"-h"}).line.status, CommandLine::Status::Help);
    GenerateOptions o;
    std::string out;
    const std::vector<Option> table = levelgenOptions(o, out);
    const std::string help = optionHelp("levelgen --seed N [options]", table);
    EXPECT_EQ(help.rfind("usage: levelgen --seed N [options]\n", 0), 0u);
    for (const Option& option : table) EXPECT_NE(help.find("  " + option.name + " "), std::string::npos) << option.name;
    EXPECT_NE(help.find("  --help "), std::string::npos);
}
