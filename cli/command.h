// grix-cli is a set of subcommands, one per file (cmd_*.cpp). Each file
// registers its command with a static CommandRegistrar; the files are
// compiled straight into the program, so every registrar runs.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>

namespace grix::cli {

// Declares the options of one subcommand on `command` and answers the
// function that runs it once the command line is parsed; that function
// answers the exit status.
using CommandSetup = std::function<std::function<int()>(CLI::App& command)>;

struct CommandRegistrar {
    CommandRegistrar(std::string name, std::string description, CommandSetup setup);
};

// The setup of a command whose one, required argument is a single value,
// shown as `argument` with `help`: `run` gets the value once the command
// line is parsed and answers the exit status.
[[nodiscard]] CommandSetup OneArgument(std::string argument, std::string help,
                                       std::function<int(const std::string&)> run);

// Prints the message of a failure alone on one line of standard error.
void ReportFailure(const std::string& message);

// The end of a command that printed to standard output: flushes it and
// answers `status`, or reports "Cannot write to standard output" and
// answers 1 when any of the output was lost (a full disk, a closed pipe).
[[nodiscard]] int FinishOutput(int status);

}  // namespace grix::cli
