#include "levelcheck/options.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>
#include <type_traits>

namespace {

template <typename T>
std::string outOfRange(std::string_view text, T lo, T hi) {
    std::ostringstream why;
    why << text << " is out of range (" << lo << " to " << hi << ")";
    return why.str();
}

}  // namespace

Option flagOption(std::string name, std::string help, bool& target) {
    return {std::move(name), "", std::move(help), [&target](std::string_view) {
                target = true;
                return std::string();
            }};
}

template <typename T>
Option numberOption(std::string name, std::string help, T& target, T lo, T hi) {
    return {std::move(name), "N", std::move(help), [&target, lo, hi](std::string_view text) {
                // read in the widest type of the same signedness, so that
                // only the range check decides
                using Wide = std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>;
                Wide value = 0;
                const char* end = text.data() + text.size();
                const auto [stop, error] = std::from_chars(text.data(), end, value);
                if (text.empty() || stop != end || (error != std::errc() && error != std::errc::result_out_of_range) ||
                    (std::is_unsigned_v<T> && text.front() == '-'))
                    return std::string(text) + " is not a whole number";
                if (error == std::errc::result_out_of_range || value < static_cast<Wide>(lo) ||
                    value > static_cast<Wide>(hi))
                    return outOfRange(text, lo, hi);
                target = static_cast<T>(value);
                return std::string();
            }};
}

template Option numberOption<int>(std::string, std::string, int&, int, int);
template Option numberOption<long>(std::string, std::string, long&, long, long);
template Option numberOption<unsigned long>(std::string, std::string, unsigned long&, unsigned long, unsigned long);
template Option numberOption<unsigned long long>(std::string, std::string, unsigned long long&, unsigned long long,
                                                 unsigned long long);

Option realOption(std::string name, std::string help, double& target, double lo, double hi) {
    return {std::move(name), "F", std::move(help), [&target, lo, hi](std::string_view text) {
                double value = 0;
                const char* end = text.data() + text.size();
                const auto [stop, error] = std::from_chars(text.data(), end, value);
                if (text.empty() || stop != end || error != std::errc() || !std::isfinite(value))
                    return std::string(text) + " is not a number";
                if (value < lo || value > hi) return outOfRange(text, lo, hi);
                target = value;
                return std::string();
            }};
}

Option textOption(std::string name, std::string value, std::string help,
                  std::function<std::string(std::string_view)> take) {
    return {std::move(name), std::move(value), std::move(help), std::move(take)};
}

CommandLine parseCommandLine(int argc, const char* const* argv, const std::vector<Option>& options) {
    CommandLine line;
    const auto refuse = [&](std::string why) {
        line.status = CommandLine::Status::Refused;
        line.refusal = std::move(why);
        return line;
    };
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            line.operands.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            line.status = CommandLine::Status::Help;
            return line;
        }
        const Option* option = nullptr;
        for (const Option& o : options)
            if (o.name == arg) option = &o;
        if (!option) return refuse("unknown option " + std::string(arg));
        std::string_view value;
        if (!option->value.empty()) {
            if (i + 1 >= argc) return refuse("missing " + option->value + " after " + option->name);
            value = argv[++i];
        }
        const std::string why = option->take(value);
        if (!why.empty()) return refuse(option->name + ": " + why);
    }
    return line;
}

std::string optionHelp(const std::string& usage, const std::vector<Option>& options) {
    std::string text = "usage: " + usage + "\n";
    for (const Option& o : options) {
        std::string left = "  " + o.name + (o.value.empty() ? "" : " " + o.value);
        if (left.size() < 26) left.resize(26, ' ');
        else left += "  ";
        text += left + o.help + "\n";
    }
    text += "  --help                  this text\n";
    return text;
}
