#pragma once
// The level generator's options: one row each, read by levelgen's command
// line (levelcheck/options.h).

#include <string>
#include <vector>

#include "levelcheck/options.h"
#include "levelgen/generate.h"

// The rows of levelgen's options, setting `o` and the output file, and with
// `description` the file of --describe.
std::vector<Option> levelgenOptions(GenerateOptions& o, std::string& outFile, std::string* description = nullptr);
