#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <vector>

#include "cli/command.h"
#include "core/platform.h"

namespace grix::cli {
namespace {

struct Registered {
    std::string name;
    std::string description;
    CommandSetup setup;
};

std::vector<Registered>& Registry() {
    static std::vector<Registered> commands;
    return commands;
}

}  // namespace

CommandRegistrar::CommandRegistrar(std::string name, std::string description, CommandSetup setup) {
    Registry().push_back({std::move(name), std::move(description), std::move(setup)});
}

CommandSetup OneArgument(std::string argument, std::string help,
                         std::function<int(const std::string&)> run) {
    return [argument = std::move(argument), help = std::move(help),
            run = std::move(run)](CLI::App& command) {
        auto value = std::make_shared<std::string>();
        command.add_option(argument, *value, help)->required();
        return std::function<int()>([value, run] { return run(*value); });
    };
}

void ReportFailure(const std::string& message) {
    std::cerr << message << '\n' << std::flush;
}

int FinishOutput(int status) {
    std::cout.flush();
    if (!std::cout) {
        ReportFailure("Cannot write to standard output");
        return 1;
    }
    return status;
}

}  // namespace grix::cli

int main(int argc, char** argv) {
    using namespace grix::cli;
    grix::platform::UseUtf8Console();
    // Every argument as UTF-8, whatever code page the system runs in; CLI11
    // takes them last first, without the program's name.
    std::vector<std::string> arguments = grix::platform::CommandLineArguments(argc, argv);
    std::reverse(arguments.begin(), arguments.end());
    if (!arguments.empty())
        arguments.pop_back();
    CLI::App app{"Grix: turns black-and-white pictures into nonogram games for Java ME phones",
                 "grix-cli"};
    app.require_subcommand(1);
    // Options start with a dash everywhere: on Windows, "/name" is a path.
    app.allow_windows_style_options(false);

    auto commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Registered& a, const Registered& b) { return a.name < b.name; });
    std::vector<std::pair<CLI::App*, std::function<int()>>> runners;
    for (const auto& command : commands) {
        CLI::App* sub = app.add_subcommand(command.name, command.description);
        runners.emplace_back(sub, command.setup(*sub));
    }

    try {
        app.parse(arguments);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // Scripts rely on one status for every failure: the message alone, exit 1.
        ReportFailure(e.what());
        return 1;
    }

    try {
        for (auto& [sub, run] : runners) {
            if (sub->parsed())
                return run();
        }
    } catch (const std::bad_alloc&) {
        ReportFailure("Out of memory");
        return 1;
    } catch (const std::exception& e) {
        ReportFailure(e.what());
        return 1;
    }
    return 1;
}
