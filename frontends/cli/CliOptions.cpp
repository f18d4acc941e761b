#include "CliOptions.h"

#include "ui/CLocaleText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace oskel::cli {
namespace {

constexpr int kPortCount = 10; // COM1 to COM10
constexpr int kSpeeds[] = {9600, 19200, 38400, 57600, 115200, 230400};

// Decimal digits only: no sign, no blanks, nothing after.
std::optional<int> Decimal(const std::string& text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> ParsePortChoice(const std::string& text)
{
    const std::string lower = ui::AsciiLower(text);
    if (lower == "auto")
        return -1;
    const std::optional<int> number = Decimal(lower.starts_with("com") ? lower.substr(3) : lower);
    if (!number || *number < 1 || *number > kPortCount)
        return std::nullopt;
    return *number - 1;
}

std::optional<int> ParseSpeedChoice(const std::string& text)
{
    if (ui::AsciiLower(text) == "auto")
        return -1;
    const std::optional<int> bps = Decimal(text);
    if (!bps || std::find(std::begin(kSpeeds), std::end(kSpeeds), *bps) == std::end(kSpeeds))
        return std::nullopt;
    return bps;
}

std::vector<std::string> PortChoices()
{
    std::vector<std::string> choices;
    for (int i = 1; i <= kPortCount; ++i)
        choices.push_back("COM" + std::to_string(i));
    choices.push_back("auto");
    return choices;
}

std::vector<std::string> SpeedChoices()
{
    std::vector<std::string> choices;
    for (const int bps : kSpeeds)
        choices.push_back(std::to_string(bps));
    choices.push_back("auto");
    return choices;
}

const std::vector<OptionSpec>& CliOptionTable()
{
    using V = OptionSpec::Value;
    using K = OptionSpec::Kind;
    static const std::vector<OptionSpec> table = {
        {"--device", 0, V::Required, K::Device, "open this serial device for this run"},
        {"--port", 0, V::Required, K::Port, "use this port or search them all, for this run"},
        {"--speed", 0, V::Required, K::Speed, "line speed in bit/s, or climb, for this run"},
        {"--folder", 0, V::Required, K::Folder, "the program folder for this run"},
        {"--wait", 0, V::Inline, K::Seconds, "wait for the camera, at most SECONDS when given"},
        {"--yes", 'y', V::None, K::None, "answer Yes or OK to every question"},
        {"--no", 0, V::None, K::None, "answer No to every Yes/No question"},
        {"--cancel", 0, V::None, K::None, "answer Cancel or No to every question"},
        {"--accept-older-models", 0, V::None, K::None, "admit cameras of families 1 to 3"},
        {"--accept-unknown-models", 0, V::None, K::None, "admit cameras of an unknown model"},
        {"--dry-run", 0, V::None, K::None, "tell what upload or remove would do, changing nothing"},
        {"--force", 0, V::None, K::None, "upload even while some program records could not be read"},
        {"--json", 0, V::None, K::None, "one JSON object on standard output"},
        {"--progress", 0, V::Required, K::Format, "upload progress as JSON lines on standard error"},
        {"--trace", 0, V::Required, K::File, "write every byte on the line to FILE"},
        {"--quiet", 'q', V::None, K::None, "no progress display"},
        {"--verbose", 'v', V::None, K::None, "tell the port, speed and adapter on standard error"},
        {"--help", 'h', V::None, K::None, "show the help"},
        {"--version", 'V', V::None, K::None, "show the version"},
    };
    return table;
}

const std::vector<CommandSpec>& CliCommandTable()
{
    static const std::vector<CommandSpec> table = {
        {"probe", false, "port, speed, model and family"},
        {"about", false, "the camera id and version texts"},
        {"list", false, "the applications in the folder and in the camera"},
        {"upload", true, "upload folder applications"},
        {"remove", true, "erase camera applications"},
        {"ports", false, "the serial ports, opening none"},
        {"completion", true, "print the completion script of bash, zsh or fish"},
    };
    return table;
}

namespace {

const OptionSpec* FindOption(const std::string& arg)
{
    for (const OptionSpec& o : CliOptionTable()) {
        if (arg == o.name || (o.shortName != 0 && arg == std::string("-") + o.shortName))
            return &o;
    }
    return nullptr;
}

// "-yq" is "-y -q": a cluster of one-letter flags.
std::vector<std::string> SplitClusters(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    bool ended = false;
    for (const std::string& arg : args) {
        ended = ended || arg == "--";
        const bool cluster = !ended && arg.size() > 2 && arg[0] == '-' && arg[1] != '-' &&
                             std::all_of(arg.begin() + 1, arg.end(), [](char c) {
                                 const OptionSpec* o = FindOption(std::string("-") + c);
                                 return o != nullptr && o->value == OptionSpec::Value::None;
                             });
        if (!cluster) {
            out.push_back(arg);
            continue;
        }
        for (size_t k = 1; k < arg.size(); ++k)
            out.push_back(std::string("-") + arg[k]);
    }
    return out;
}

bool CheckNames(const CliOptions& options, std::string* error)
{
    for (const CommandSpec& a : CliCommandTable()) {
        if (options.command != a.name)
            continue;
        if (a.takesNames && options.names.empty()) {
            *error = options.command + " needs at least one NAME";
            return false;
        }
        if (!a.takesNames && !options.names.empty()) {
            *error = "unexpected argument \"" + options.names.front() + "\": " + options.command + " takes no names";
            return false;
        }
    }
    return true;
}

const char* AnswerOption(AnswerPolicy policy)
{
    switch (policy) {
    case AnswerPolicy::Yes:
        return "--yes";
    case AnswerPolicy::No:
        return "--no";
    case AnswerPolicy::Cancel:
        return "--cancel";
    default:
        return "";
    }
}

} // namespace

bool ParseCliOptions(const std::vector<std::string>& given, CliOptions* options, std::string* error)
{
    *options = CliOptions{};
    const std::vector<std::string> args = SplitClusters(given);
    bool optionsEnded = false;
    auto positional = [&](const std::string& arg) {
        if (options->command.empty())
            options->command = arg;
        else
            options->names.push_back(arg);
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded) {
            positional(arg);
            continue;
        }
        std::optional<std::string> inlineValue;
        if (arg.starts_with("--")) {
            if (const size_t eq = arg.find('='); eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            *error = "option " + arg + " needs a value";
            return std::nullopt;
        };
        auto noValue = [&]() {
            if (inlineValue)
                *error = "option " + arg + " takes no value";
            return !inlineValue;
        };
        auto flag = [&](bool* target) {
            if (!noValue())
                return false;
            *target = true;
            return true;
        };
        auto answer = [&](AnswerPolicy policy) {
            if (!noValue())
                return false;
            if (options->answers != AnswerPolicy::Ask && options->answers != policy) {
                *error = std::string(AnswerOption(options->answers)) + " and " + arg + " cannot be given together";
                return false;
            }
            options->answers = policy;
            return true;
        };

        if (arg.starts_with("-") && arg != "-" && arg != "--" && FindOption(arg) == nullptr) {
            *error = "unknown option " + arg;
            return false;
        }
        if (arg == "--") {
            if (!noValue())
                return false;
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            if (!flag(&options->help))
                return false;
        } else if (arg == "--version" || arg == "-V") {
            if (!flag(&options->version))
                return false;
        } else if (arg == "--accept-older-models") {
            if (!flag(&options->acceptOlderModels))
                return false;
        } else if (arg == "--accept-unknown-models") {
            if (!flag(&options->acceptUnknownModels))
                return false;
        } else if (arg == "--json") {
            if (!flag(&options->json))
                return false;
        } else if (arg == "--dry-run") {
            if (!flag(&options->dryRun))
                return false;
        } else if (arg == "--force") {
            if (!flag(&options->force))
                return false;
        } else if (arg == "--progress") {
            const std::optional<std::string> text = value();
            if (!text)
                return false;
            if (*text != "json") {
                *error = "bad progress format \"" + *text + "\": give --progress=json";
                return false;
            }
            options->progressJson = true;
        } else if (arg == "--quiet" || arg == "-q") {
            if (!flag(&options->quiet))
                return false;
        } else if (arg == "--verbose" || arg == "-v") {
            if (!flag(&options->verbose))
                return false;
        } else if (arg == "--yes" || arg == "-y") {
            if (!answer(AnswerPolicy::Yes))
                return false;
        } else if (arg == "--no") {
            if (!answer(AnswerPolicy::No))
                return false;
        } else if (arg == "--cancel") {
            if (!answer(AnswerPolicy::Cancel))
                return false;
        } else if (arg == "--device" || arg == "--folder" || arg == "--trace") {
            const std::optional<std::string> path = value();
            if (!path)
                return false;
            if (path->empty()) {
                const char* what = arg == "--device" ? "device path" : arg == "--folder" ? "folder" : "file";
                *error = arg + " needs a " + what;
                return false;
            }
            (arg == "--device" ? options->device : arg == "--folder" ? options->folder : options->trace) = *path;
        } else if (arg == "--wait") {
            const std::optional<int> seconds = inlineValue ? Decimal(*inlineValue) : -1;
            if (!seconds || *seconds == 0) {
                *error = "bad time \"" + inlineValue.value_or("") + "\" for --wait: give whole seconds, 1 or more";
                return false;
            }
            options->wait = seconds;
        } else if (arg == "--port") {
            const std::optional<std::string> text = value();
            if (!text)
                return false;
            options->port = ParsePortChoice(*text);
            if (!options->port) {
                *error = "bad port \"" + *text + "\": give COM1 to COM10, 1 to 10, or auto";
                return false;
            }
        } else if (arg == "--speed") {
            const std::optional<std::string> text = value();
            if (!text)
                return false;
            options->speed = ParseSpeedChoice(*text);
            if (!options->speed) {
                *error = "bad speed \"" + *text + "\": give 9600, 19200, 38400, 57600, 115200, 230400 or auto";
                return false;
            }
        } else if (arg.starts_with("-") && arg != "-") {
            *error = "unknown option " + arg;
            return false;
        } else {
            positional(arg);
        }
    }
    if (options->help || options->version)
        return true;
    if (options->command.empty()) {
        *error = "no command given";
        return false;
    }
    const bool changes = options->command == "upload" || options->command == "remove";
    if (options->dryRun && !changes) {
        *error = "--dry-run is for upload and remove";
        return false;
    }
    if (options->progressJson && options->command != "upload") {
        *error = "--progress=json is for upload";
        return false;
    }
    if (options->progressJson && options->verbose) {
        *error = "--progress=json and --verbose cannot be given together: standard error carries JSON lines only";
        return false;
    }
    if (options->progressJson && options->dryRun) {
        *error = "--progress=json and --dry-run cannot be given together: a dry run sends nothing";
        return false;
    }
    if (options->wait && options->command == "ports") {
        *error = "--wait is for the commands that use the camera";
        return false;
    }
    return CheckNames(*options, error);
}

std::string CliShortUsage()
{
    return "usage: oskel-uploader-cli [options] probe|about|list|ports\n"
           "       oskel-uploader-cli [options] upload|remove NAME...\n"
           "       oskel-uploader-cli completion bash|zsh|fish\n"
           "Try 'oskel-uploader-cli --help' for more.\n";
}

std::string CliVersion()
{
    return std::string("oskel-uploader-cli ") + OSKEL_VERSION + "\n";
}

std::string CliUsage()
{
    return "usage: oskel-uploader-cli [options] probe|about|list|ports\n"
           "       oskel-uploader-cli [options] upload|remove NAME...\n"
           "       oskel-uploader-cli completion bash|zsh|fish\n"
           "\n"
           "  probe        connect to the camera and show the port, speed, model and family\n"
           "  about        show the camera's id and version texts\n"
           "  list         the applications in the folder and in the camera, and the\n"
           "               camera's free memory\n"
           "  upload NAME  upload folder applications, named by file name or display name\n"
           "  remove NAME  erase camera applications, named by display name, camera name\n"
           "               (PROG2.FNC) or slot (#3)\n"
           "  ports        the serial ports in the order they are tried, with their device,\n"
           "               by-id name, USB adapter, access and holder; opens none of them\n"
           "  completion   print the shell's completion script (made from these options)\n"
           "\n"
           "options:\n"
           "  --device PATH            open this serial device instead of the settings' port\n"
           "  --port COMn|n|auto       use this port (COM1 = 1) or search the ports\n"
           "  --speed BPS|auto         9600, 19200, 38400, 57600, 115200, 230400, or climb\n"
           "                           (--device, --port, --speed: for this run; a run\n"
           "                           given any of them stores no port or speed)\n"
           "  --folder DIR             the program folder for this run (not stored)\n"
           "  --wait[=SECONDS]         until a camera answers, try again whenever a serial\n"
           "                           device appears and every 2 s (default: no time\n"
           "                           limit; Ctrl+C gives up and stores nothing)\n"
           "  -y, --yes                answer Yes (or OK) to every question\n"
           "  --no                     answer No to every Yes/No question\n"
           "  --cancel                 answer Cancel (or No) to every question\n"
           "                           (none of these: a terminal is asked; without one\n"
           "                           a question gets its default button, except that\n"
           "                           the update of an older version and the erase\n"
           "                           confirmation are answered No: the item is\n"
           "                           skipped, and --yes would do it)\n"
           "  --accept-older-models    admit cameras of families 1 to 3 for this run\n"
           "  --accept-unknown-models  admit cameras of an unknown model (family 0)\n"
           "  --dry-run                upload, remove: read the camera and tell what would\n"
           "                           happen, item by item, changing nothing\n"
           "  --force                  upload even while some program records in the\n"
           "                           camera could not be read (one may be the same\n"
           "                           program, which is then stored twice)\n"
           "  --json                   one JSON object on standard output: the result of\n"
           "                           probe, about, list and ports, or each item's\n"
           "                           outcome, the messages shown and the camera's list\n"
           "                           after upload or remove; a failure that printed\n"
           "                           nothing there prints {\"status\",\"error\",\"message\"}\n"
           "  --progress=json          upload (not with --dry-run): standard error carries\n"
           "                           JSON lines only: progress steps (a host brought\n"
           "                           along named as itself), messages with their\n"
           "                           answers, errors\n"
           "  --trace FILE             write every byte on the line to FILE, timed and\n"
           "                           decoded\n"
           "  -q, --quiet              no progress display\n"
           "  -v, --verbose            after connecting, tell the device, speed, adapter\n"
           "                           driver and latency timer on standard error\n"
           "  -h, --help               show this text\n"
           "  -V, --version            show the program's version\n"
           "\n"
           "exit status: 0 done, 1 an operation failed or was cancelled, 2 usage error,\n"
           "3 no camera could be reached or it was refused, 4 another program of the\n"
           "family is using the camera, 5 output could not be written (write error),\n"
           "130 interrupted (Ctrl+C, SIGTERM or SIGHUP), 141 standard output's reader\n"
           "went away (told nowhere)\n"
           "\n"
           "Shell completion for bash, zsh and fish comes with the program.\n";
}

} // namespace oskel::cli
