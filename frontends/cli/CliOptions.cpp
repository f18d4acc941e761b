#include "CliOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace oskel::cli {
namespace {

constexpr int kPortCount = 10; // COM1 to COM10
constexpr int kSpeeds[] = {9600, 19200, 38400, 57600, 115200, 230400};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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
    const std::string lower = Lower(text);
    if (lower == "auto")
        return -1;
    const std::optional<int> number = Decimal(lower.starts_with("com") ? lower.substr(3) : lower);
    if (!number || *number < 1 || *number > kPortCount)
        return std::nullopt;
    return *number - 1;
}

std::optional<int> ParseSpeedChoice(const std::string& text)
{
    if (Lower(text) == "auto")
        return -1;
    const std::optional<int> bps = Decimal(text);
    if (!bps || std::find(std::begin(kSpeeds), std::end(kSpeeds), *bps) == std::end(kSpeeds))
        return std::nullopt;
    return bps;
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error)
{
    *options = CliOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
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

        if (arg == "--help" || arg == "-h") {
            if (!noValue())
                return false;
            options->help = true;
        } else if (arg == "--accept-older-models") {
            if (!noValue())
                return false;
            options->acceptOlderModels = true;
        } else if (arg == "--accept-unknown-models") {
            if (!noValue())
                return false;
            options->acceptUnknownModels = true;
        } else if (arg == "--device") {
            const std::optional<std::string> path = value();
            if (!path)
                return false;
            if (path->empty()) {
                *error = "--device needs a device path";
                return false;
            }
            options->device = *path;
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
        } else if (!options->command.empty()) {
            *error = "unexpected argument \"" + arg + "\"";
            return false;
        } else {
            options->command = arg;
        }
    }
    if (options->command.empty() && !options->help) {
        *error = "no command given";
        return false;
    }
    return true;
}

std::string CliShortUsage()
{
    return "usage: oskel-uploader-cli [--device PATH] [--port COMn|n|auto] [--speed BPS|auto]\n"
           "                          [--accept-older-models] [--accept-unknown-models] probe|about\n"
           "Try 'oskel-uploader-cli --help' for more.\n";
}

std::string CliUsage()
{
    return "usage: oskel-uploader-cli [options] probe|about\n"
           "\n"
           "  probe   connect to the camera and show the port, speed, model and family\n"
           "  about   show the camera's id and version texts\n"
           "\n"
           "options:\n"
           "  --device PATH            open this serial device instead of the settings' port\n"
           "  --port COMn|n|auto       use this port (COM1 = 1) or search the ports\n"
           "  --speed BPS|auto         9600, 19200, 38400, 57600, 115200, 230400, or climb\n"
           "  --accept-older-models    admit cameras of families 1 to 3 for this run\n"
           "  --accept-unknown-models  admit cameras of an unknown model (family 0)\n"
           "  -h, --help               show this text\n"
           "\n"
           "exit status: 0 done, 1 a read from the camera failed, 2 usage error,\n"
           "3 no camera could be reached\n";
}

} // namespace oskel::cli
