// oskel-uploader-cli: the uploader's camera operations from a terminal.
#include "CliCommands.h"
#include "CliOptions.h"
#include "TerminalText.h"

#include "serial/TermiosSerialOps.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

using oskel::cli::CliContext;
using oskel::cli::CliOptions;

struct Command {
    const char* name;
    int (*run)(const CliOptions&, CliContext&);
};

constexpr Command kCommands[] = {
    {"probe", oskel::cli::RunProbe},
    {"about", oskel::cli::RunAbout},
};

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : kCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

int UsageError(const std::string& message)
{
    std::cerr << oskel::cli::kProgramName << ": " << message << "\n" << oskel::cli::CliShortUsage();
    return oskel::cli::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    CliOptions options;
    std::string error;
    if (!oskel::cli::ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error))
        return UsageError(error);
    if (options.help) {
        std::cout << oskel::cli::CliUsage();
        return oskel::cli::kExitOk;
    }
    const Command* command = FindCommand(options.command);
    if (command == nullptr)
        return UsageError("unknown command \"" + options.command + "\"");
    CliContext context{std::cout, std::cerr, {}, {}, &oskel::TermiosSerialOps::Shared()};
    return command->run(options, context);
}
