#pragma once
// The command lines of the level tools: one table of options per tool, each
// row with its name, the form of its value, its help line and what it sets.
// Numbers are read whole and checked against their range: a value that is
// not a number or lies outside is refused with a line naming the option,
// never clamped or wrapped. "--help" lists every row.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct Option {
    std::string name;   // "--max-states"
    std::string value;  // the form of the value ("N", "A..B"); empty for a flag
    std::string help;   // one line for --help
    // Takes the value (empty for a flag); returns "" or why it is refused.
    std::function<std::string(std::string_view)> take;
};

// A flag that sets `target`.
Option flagOption(std::string name, std::string help, bool& target);
// A whole number in lo..hi stored in `target` (int, long, std::size_t, std::uint64_t).
template <typename T>
Option numberOption(std::string name, std::string help, T& target, T lo, T hi);
// A real number in lo..hi.
Option realOption(std::string name, std::string help, double& target, double lo, double hi);
// Any other value, checked by `take`.
Option textOption(std::string name, std::string value, std::string help,
                  std::function<std::string(std::string_view)> take);

struct CommandLine {
    enum class Status { Run, Help, Refused };
    Status status = Status::Run;
    std::string refusal;                // why, when Refused
    std::vector<std::string> operands;  // the arguments that are not options
};

// Reads argv[1..] against the table. "--help" and "-h" give Help; "--" ends
// the options.
CommandLine parseCommandLine(int argc, const char* const* argv, const std::vector<Option>& options);

// The help text: the usage line, then one line per option.
std::string optionHelp(const std::string& usage, const std::vector<Option>& options);
