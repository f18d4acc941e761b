#pragma once

#include <optional>
#include <string>
#include <vector>

namespace oskel::cli {

// Exit statuses of oskel-uploader-cli.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,   // the camera was reached, but reading from it failed
    kExitUsage = 2,    // bad command line
    kExitNoCamera = 3, // no camera could be reached or it was refused
    kExitOtherInstance = 4, // another program of the family holds the camera
    kExitWriteError = 5,    // output (stdout, the JSON events, the trace) could not be written
    kExitInterrupted = 130, // stopped by Ctrl+C, SIGTERM or SIGHUP (128 + SIGINT)
    kExitBrokenPipe = 141,  // standard output's reader went away (128 + SIGPIPE), told nowhere
};

// The answer given to every question (message box) of a run.
enum class AnswerPolicy {
    Ask,    // a terminal is asked; otherwise the box's default button
    Yes,    // --yes
    No,     // --no
    Cancel, // --cancel
};

// The command line: options may stand before or after the subcommand, and
// take their value either as the next argument or after "=".
struct CliOptions {
    std::string command;               // the subcommand, not yet checked
    std::vector<std::string> names;    // the subcommand's arguments
    std::optional<std::string> device; // --device PATH
    std::optional<int> port;           // --port: index (COM1 = 0) or -1 for automatic
    std::optional<int> speed;          // --speed: bit/s or -1 for automatic
    bool acceptOlderModels = false;
    bool acceptUnknownModels = false;
    std::optional<std::string> folder; // --folder DIR, in place of "OPFFolder"
    AnswerPolicy answers = AnswerPolicy::Ask;
    std::optional<int> wait;           // --wait[=SECONDS]: seconds, or -1 until Ctrl+C
    bool json = false;
    bool dryRun = false;               // upload/remove: rehearse, change nothing
    bool force = false;                // upload beside unread program records
    bool progressJson = false;         // --progress=json: JSON lines on stderr
    std::optional<std::string> trace;  // --trace FILE: the wire trace
    bool quiet = false;
    bool verbose = false;              // --verbose: the connection's facts on stderr
    bool help = false;
    bool version = false;
};

// The options the parser knows, in the order --help lists them; the shell
// completion scripts are made from the same table.
struct OptionSpec {
    enum class Value {
        None,     // a flag
        Required, // "--opt VALUE" or "--opt=VALUE"
        Inline,   // "--opt" alone or "--opt=VALUE" (--wait)
    };
    enum class Kind { None, Device, Port, Speed, Folder, File, Format, Seconds };
    const char* name;   // "--device"
    char shortName;     // 'y' for -y, or 0
    Value value;
    Kind kind;          // what its value is, for completion
    const char* about;  // a short description: no quotes, brackets or colons
};
const std::vector<OptionSpec>& CliOptionTable();
// The commands, with a short description each.
struct CommandSpec {
    const char* name;
    bool takesNames;
    const char* about;
};
const std::vector<CommandSpec>& CliCommandTable();
// The values --port and --speed take, as completion offers them.
std::vector<std::string> PortChoices();
std::vector<std::string> SpeedChoices();

// "COM3", "com3" or "3" -> 2 (COM1 to COM10, the ports the serial layer
// can open); "auto" -> -1; nullopt for anything else.
std::optional<int> ParsePortChoice(const std::string& text);

// One of 9600, 19200, 38400, 57600, 115200, 230400, or "auto" -> -1;
// nullopt for anything else.
std::optional<int> ParseSpeedChoice(const std::string& text);

// False with a one-line message on a usage error. --help and --version
// need no subcommand; otherwise one is required (its name is checked by the
// dispatcher), and every further argument that is not an option is one of
// its names. "--" ends the options: what follows is taken as names.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// The full help text, and the short reminder shown after a usage error.
std::string CliUsage();
std::string CliShortUsage();
std::string CliVersion();

} // namespace oskel::cli
