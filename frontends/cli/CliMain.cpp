// oskel-uploader-cli: the uploader's camera operations from a terminal.
#include "commands/CliCommands.h"
#include "CliInterrupt.h"
#include "CliOptions.h"
#include "commands/ProgramsCache.h"
#include "report/JsonWriter.h"
#include "terminal/CheckedOutput.h"
#include "terminal/TerminalText.h"

#include "app/SingleInstance.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "serial/TermiosSerialOps.h"

#include <cerrno>
#include <csignal>
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
    {"completion", oskel::cli::RunCompletion, false},
};

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : kCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

int UsageError(CliContext& context, const std::string& message)
{
    oskel::cli::TellError(context, message);
    if (!context.errJsonLines)
        context.err << oskel::cli::CliShortUsage();
    return oskel::cli::kExitUsage;
}

// Message 1500 when another program of the family holds the camera, as the
// program shows it at start-up; nothing else has been touched then.
bool RefusedByOtherInstance(oskel::CSingleInstance& guard, CliContext& context)
{
    if (guard.Check())
        return false;
    if (guard.FailedToLock()) {
        oskel::cli::TellError(context, "the camera lock " + guard.Lock().Path() +
                                           " could not be taken: " + std::strerror(guard.Lock().Error()));
        return true;
    }
    oskel::cli::TellError(context, oskel::res::LoadString(oskel::res::IDS_ALREADY_RUNNING));
    return true;
}

// --json and --progress=json are looked for before the options are parsed,
// so that a usage error is told in the form asked for.
bool Given(const std::vector<std::string>& args, const std::string& option)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--")
            return false;
        const size_t eq = option.find('=');
        if (args[i] == option || (eq != std::string::npos && args[i] == option.substr(0, eq) &&
                                  i + 1 < args.size() && args[i + 1] == option.substr(eq + 1)))
            return true;
    }
    return false;
}

int RunCommand(const std::vector<std::string>& args, CliContext& context)
{
    CliOptions options;
    std::string error;
    if (!oskel::cli::ParseCliOptions(args, &options, &error))
        return UsageError(context, error);
    if (options.help) {
        context.out << oskel::cli::CliUsage();
        return oskel::cli::kExitOk;
    }
    if (options.version) {
        context.out << oskel::cli::CliVersion();
        return oskel::cli::kExitOk;
    }
    const Command* command = FindCommand(options.command);
    if (command == nullptr)
        return UsageError(context, "unknown command \"" + options.command + "\"");
    if (!command->usesCamera)
        return command->run(options, context);
    oskel::cli::InstallInterruptHandlers();
    oskel::CSingleInstance guard;
    if (RefusedByOtherInstance(guard, context))
        return oskel::cli::kExitOtherInstance;
    if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO))
        context.prompt = &std::cin;
    context.errIsTerminal = isatty(STDERR_FILENO) != 0;
    return command->run(options, context);
}

const char* ErrorCode(int status)
{
    switch (status) {
    case oskel::cli::kExitUsage:
        return "usage";
    case oskel::cli::kExitNoCamera:
        return "camera-not-found";
    case oskel::cli::kExitOtherInstance:
        return "camera-in-use";
    case oskel::cli::kExitWriteError:
        return "write-error";
    case oskel::cli::kExitInterrupted:
        return "interrupted";
    default:
        return "failed";
    }
}

// The end of every run: with --json a failure that printed nothing on
// standard output prints the error object there; then the output is
// flushed and closed, and what could not be written fails the run. A
// reader that went away (list | head) ends it quietly, as it ends a
// program the pipe stops.
int Finish(int status, bool json, CliContext& context, oskel::cli::CheckedOutput& out,
           oskel::cli::CheckedOutput& err)
{
    using namespace oskel::cli;
    const bool interrupted = status == kExitInterrupted;
    context.out.flush();
    if (!context.traceWriteError.empty() && !interrupted) {
        TellError(context, "write error: " + context.traceWriteError);
        status = kExitWriteError;
    }
    if (json && status != kExitOk && !out.Written() && out.Error() == 0) {
        std::string message;
        for (const std::string& line : context.errors)
            message += (message.empty() ? "" : "\n") + line;
        const std::string code = context.errorCode.empty() || status == kExitWriteError ? ErrorCode(status)
                                                                                         : context.errorCode;
        JsonObject error;
        error.Add("status", status).Add("error", code).Add("message", message);
        if (!context.portsTried.empty())
            error.AddRaw("portsTried", context.portsTried);
        context.out << error.Text() << '\n';
    }
    context.out.flush();
    if (out.Error() == 0 && ::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR)
        TellError(context, std::string("write error: ") + std::strerror(errno)), status = kExitWriteError;
    if (out.Error() == EPIPE)
        return interrupted ? status : kExitBrokenPipe;
    if (out.Error() != 0 && !interrupted) {
        TellError(context, "write error: " + out.Reason());
        status = kExitWriteError;
    }
    context.err.flush();
    if (err.Error() != 0 && !interrupted)
        return err.Error() == EPIPE ? kExitBrokenPipe : kExitWriteError;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Output into a closed pipe fails the write (EPIPE) instead of ending
    // the run before the camera link is closed.
    signal(SIGPIPE, SIG_IGN);
    oskel::cli::CheckedStream out(STDOUT_FILENO);
    oskel::cli::CheckedStream err(STDERR_FILENO);
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliContext context{out, err, {}, {}, &oskel::TermiosSerialOps::Shared()};
    context.errJsonLines = Given(args, "--progress=json");
    context.programsCache = oskel::cli::DefaultProgramsCachePath();
    const int status = RunCommand(args, context);
    return Finish(status, Given(args, "--json"), context, out.Output(), err.Output());
}
