// oskel-uploader-cli: the uploader's camera operations from a terminal.
#include "commands/CliCommands.h"
#include "CliInterrupt.h"
#include "CliOptions.h"
#include "terminal/TerminalFrontEnd.h"
#include "terminal/TerminalText.h"

#include "app/SingleInstance.h"
#include "res/StringIds.h"
#include "serial/TermiosSerialOps.h"
#include "ui/MessageBox.h"

#include <cstring>
#include <iostream>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

using oskel::cli::CliContext;
using oskel::cli::CliOptions;

struct Command {
    const char* name;
    int (*run)(const CliOptions&, CliContext&);
    bool usesCamera = true;
};

constexpr Command kCommands[] = {
    {"probe", oskel::cli::RunProbe},
    {"about", oskel::cli::RunAbout},
    {"list", oskel::cli::RunList},
    {"upload", oskel::cli::RunUpload},
    {"remove", oskel::cli::RunRemove},
    {"ports", oskel::cli::RunPorts, false},
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

// Message 1500 when another program of the family holds the camera, as the
// program shows it at start-up; nothing else has been touched then.
bool RefusedByOtherInstance(oskel::CSingleInstance& guard)
{
    if (guard.Check())
        return false;
    if (guard.FailedToLock()) {
        std::cerr << oskel::cli::kProgramName << ": the camera lock " << guard.Lock().Path()
                  << " could not be taken: " << std::strerror(guard.Lock().Error()) << '\n';
        return true;
    }
    oskel::cli::TerminalFrontEnd frontEnd(std::cerr);
    oskel::ui::AfxMessageBox(oskel::res::IDS_ALREADY_RUNNING, oskel::ui::MB_ICONEXCLAMATION);
    return true;
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
    if (options.version) {
        std::cout << oskel::cli::CliVersion();
        return oskel::cli::kExitOk;
    }
    const Command* command = FindCommand(options.command);
    if (command == nullptr)
        return UsageError("unknown command \"" + options.command + "\"");
    CliContext context{std::cout, std::cerr, {}, {}, &oskel::TermiosSerialOps::Shared()};
    if (!command->usesCamera)
        return command->run(options, context);
    oskel::cli::InstallInterruptHandlers();
    oskel::CSingleInstance guard;
    if (RefusedByOtherInstance(guard))
        return oskel::cli::kExitOtherInstance;
    if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO))
        context.prompt = &std::cin;
    context.errIsTerminal = isatty(STDERR_FILENO) != 0;
    return command->run(options, context);
}
