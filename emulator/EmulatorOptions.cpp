#include "emulator/EmulatorOptions.h"

#include "emulator/ProgramStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace oskel::emulator {
namespace {

bool ParseUnsigned(const std::string& text, uint64_t high, uint64_t* out)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const uint64_t v = std::strtoull(text.c_str(), nullptr, 10);
    if (v > high)
        return false;
    *out = v;
    return true;
}

bool ParseSigned(const std::string& text, int64_t low, int64_t high, int64_t* out)
{
    const bool negative = !text.empty() && text[0] == '-';
    uint64_t magnitude = 0;
    if (!ParseUnsigned(negative ? text.substr(1) : text, 1u << 31, &magnitude))
        return false;
    const int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (v < low || v > high)
        return false;
    *out = v;
    return true;
}

// The settings every way of giving them shares. True when name was known.
class Applier {
public:
    Applier(EmulatorOptions* o, std::string* error) : m_o(o), m_error(error) {}

    bool TakesValue(const std::string& name) const
    {
        return name != "quiet" && name != "help" && name != "keep-on-close";
    }

    static bool Known(const std::string& name)
    {
        static const char* const kNames[] = {
            "link",     "model",           "id",          "version",         "text25",      "text37",
            "capacity", "battery",         "items",       "answer-delay-us", "enq-delay",   "upload-enq-delay",
            "erase-enq-delay", "ready-delay", "packet-size", "program",     "fault",       "random-faults",
            "wire-log", "dump",            "quiet",       "help",            "config",      "store-file",  "keep-on-close",
            "adapter"};
        for (const char* known : kNames) {
            if (name == known)
                return true;
        }
        return false;
    }

    bool Apply(const std::string& name, const std::string& value, const std::string& where)
    {
        CameraConfig& c = m_o->camera;
        auto fail = [&](const std::string& why) {
            *m_error = where + ": " + why;
            return false;
        };
        auto number = [&](uint64_t high, auto* field) {
            uint64_t v = 0;
            if (!ParseUnsigned(value, high, &v))
                return fail("\"" + value + "\" is not a number from 0 to " + std::to_string(high));
            *field = static_cast<std::remove_reference_t<decltype(*field)>>(v);
            return true;
        };
        auto text = [&](int reg, std::string* field) {
            if (value.size() > static_cast<size_t>(TextRegisterSize(reg)))
                return fail("at most " + std::to_string(TextRegisterSize(reg)) + " characters");
            *field = value;
            return true;
        };
        if (name == "link") {
            if (value.empty())
                return fail("needs a path");
            m_o->link = value;
            return true;
        }
        if (name == "model")
            return text(27, &c.modelText);
        if (name == "id")
            return text(22, &c.cameraId);
        if (name == "version")
            return text(26, &c.cameraVersion);
        if (name == "text25")
            return text(25, &c.text25);
        if (name == "text37")
            return text(37, &c.text37);
        if (name == "capacity")
            return number(0x7FFFFFFF, &c.capacityBytes);
        if (name == "battery") {
            int64_t v = 0;
            if (!ParseSigned(value, -1000000, 1000000, &v))
                return fail("\"" + value + "\" is not a battery level (a whole number)");
            c.battery = static_cast<int32_t>(v);
            return true;
        }
        if (name == "items")
            return number(1000, &c.itemCount);
        if (name == "answer-delay-us")
            return number(10000000, &c.answerDelayUs);
        if (name == "enq-delay")
            return number(600000, &c.enqDelayMs);
        if (name == "upload-enq-delay")
            return number(600000, &c.uploadEnqDelayMs);
        if (name == "erase-enq-delay")
            return number(600000, &c.eraseEnqDelayMs);
        if (name == "ready-delay")
            return number(600000, &c.readyDelayMs);
        if (name == "packet-size") {
            if (!number(4096, &c.objectPacketSize))
                return false;
            return c.objectPacketSize >= 1 ? true : fail("the packet size must be 1 to 4096");
        }
        if (name == "program") {
            if (value.empty())
                return fail("needs a file");
            m_o->programs.push_back(value);
            return true;
        }
        if (name == "fault") {
            Fault f;
            std::string why;
            if (!FaultScript::Parse(value, &f, &why))
                return fail(why);
            m_o->faults.push_back(f);
            return true;
        }
        if (name == "random-faults") {
            const size_t colon = value.find(':');
            uint64_t seed = 0;
            uint64_t permille = 0;
            if (colon == std::string::npos || !ParseUnsigned(value.substr(0, colon), 0xFFFFFFFFu, &seed) ||
                !ParseUnsigned(value.substr(colon + 1), 1000, &permille))
                return fail("expects SEED:PERMILLE, e.g. 7:50 (seed 7, 5% of the packets)");
            m_o->randomFaults = true;
            m_o->randomSeed = static_cast<uint32_t>(seed);
            m_o->randomPermille = static_cast<int>(permille);
            return true;
        }
        if (name == "wire-log") {
            m_o->wireLog = value;
            return !value.empty() || fail("needs a file, or - for standard output");
        }
        if (name == "dump") {
            m_o->dumpFolder = value;
            return !value.empty() || fail("needs a folder");
        }
        if (name == "store-file") {
            m_o->storeFile = value;
            return !value.empty() || fail("needs a file");
        }
        if (name == "keep-on-close") {
            m_o->keepOnClose = true;
            return true;
        }
        if (name == "adapter") {
            std::string why;
            std::optional<AdapterModel> adapter = AdapterModel::Parse(value, &why);
            if (!adapter)
                return fail(why);
            m_o->adapter = *adapter;
            return true;
        }
        if (name == "quiet") {
            m_o->quiet = true;
            return true;
        }
        if (name == "help") {
            m_o->help = true;
            return true;
        }
        return fail("unknown setting \"" + name + "\"");
    }

private:
    EmulatorOptions* m_o;
    std::string* m_error;
};

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return {};
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

bool ReadConfigFile(const std::string& path, Applier& applier, std::string* error)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
        *error = "cannot read config file " + path + ": not a regular file";
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read config file " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::string where = path + ":" + std::to_string(number);
        const size_t eq = line.find('=');
        const std::string name = Trim(line.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        if (eq == std::string::npos && applier.TakesValue(name)) {
            *error = where + ": expected \"name = value\"";
            return false;
        }
        if (name == "config") {
            *error = where + ": a config file cannot name another";
            return false;
        }
        if (!applier.Apply(name, value, where))
            return false;
    }
    if (in.bad()) {
        *error = "cannot read config file " + path;
        return false;
    }
    return true;
}

} // namespace

bool ParseEmulatorOptions(const std::vector<std::string>& args, EmulatorOptions* options, std::string* error)
{
    Applier applier(options, error);
    // The config file first, wherever --config stands, so the command line wins.
    for (size_t i = 0; i < args.size(); ++i) {
        std::string configPath;
        if (args[i] == "--config") {
            if (i + 1 >= args.size()) {
                *error = "--config: needs a file";
                return false;
            }
            configPath = args[i + 1];
        } else if (args[i].rfind("--config=", 0) == 0) {
            configPath = args[i].substr(9);
        } else {
            continue;
        }
        if (!ReadConfigFile(configPath, applier, error))
            return false;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h")
            return applier.Apply("help", "", arg);
        if (arg.rfind("--", 0) != 0) {
            *error = "unexpected argument \"" + arg + "\" (options start with --; see --help)";
            return false;
        }
        std::string name = arg.substr(2);
        std::string value;
        const size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (!Applier::Known(name)) {
            *error = "unknown option " + arg + " (see --help)";
            return false;
        }
        if (eq != std::string::npos) {
        } else if (applier.TakesValue(name)) {
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                *error = arg + ": needs a value (see --help)";
                return false;
            }
            value = args[++i];
        }
        if (name == "config")
            continue;
        if (!applier.Apply(name, value, "--" + name))
            return false;
    }
    if (!options->help && options->link.empty()) {
        *error = "--link PATH is required: where to put the link the uploader opens as its serial port";
        return false;
    }
    return true;
}

bool LoadInitialPrograms(EmulatorOptions* options, std::string* error)
{
    ProgramStore store(options->camera.capacityBytes, AcceptedSignature(options->camera.modelText));
    for (const std::string& programArg : options->programs) {
        const size_t eq = programArg.find('=');
        const std::string path = programArg.substr(0, eq);
        const std::string fileName = std::filesystem::path(path).filename().string();
        const std::string nameSource = eq == std::string::npos ? fileName : programArg.substr(eq + 1);
        StoredProgram program;
        if (!CameraNameFromFileName(nameSource, &program.name)) {
            *error = "--program " + programArg + ": \"" + nameSource +
                     "\" gives no camera name (at most 8 characters before the first '.')";
            return false;
        }
        // Only a regular file: reading a folder throws, and a device may never end.
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
            *error = "--program " + programArg + ": " + path + " is not a regular file";
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = "--program " + programArg + ": cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        program.data.assign(std::istreambuf_iterator<char>(in), {});
        std::string why;
        if (!store.Add(program.name, program.data, &why)) {
            *error = "--program " + programArg + ": the camera would not hold it: " + why;
            return false;
        }
        options->camera.programs.push_back(std::move(program));
    }
    return true;
}

std::string EmulatorUsage()
{
    return R"(Usage: camera-emulator --link PATH [options]

Plays an OSKEL camera on a pseudo-terminal. PATH becomes a symbolic link to
the terminal: point the uploader's serial port at it (settings file
QUIVRAN.INI, section [Ports], e.g. COM1=PATH). The camera speaks the serial
protocol at 9600 to 230400 bit/s, starting at 19200, and models the time
bytes take on the line at the speed each side has set; bytes sent while the
two sides' speeds differ arrive garbled, as on a real cable. Stop it with
Ctrl+C; the link is removed on exit.

Camera:
  --model TEXT            model text, register 27 (default "SR82 OSKEL camera
                          emulator": family 5). A text beginning "SR52" makes
                          a family-4 camera, which takes "KAVRA~" programs
                          instead of "KAVRA+~" ones.
  --id TEXT               camera id, register 22 (at most 32 characters)
  --version TEXT          camera version, register 26 (at most 32 characters)
  --text25 TEXT, --text37 TEXT   the other text registers
  --capacity BYTES        program memory (default 524288)
  --battery LEVEL         register 16 (default 100; 1 to 20 or below 0 is low)
  --items N               pictures in the camera (default 3)
  --program FILE[=NAME]   a program stored at power-on, in the order given;
                          its camera name comes from the file name, or from
                          NAME (e.g. FRAME2.ATC). Repeat for more programs.
  --keep-on-close         when the PC closes the port, the camera keeps its
                          speed and any transfer in progress, as a camera
                          that does not watch the line (by default it drops
                          back to 19200 bit/s and waits for a new link)

Line:
  --adapter MODEL         what stands between the cable and the PC, and so
                          when the camera's bytes reach it: pty (none, the
                          default); ftdi[:TIMER_MS] (held until the next tick
                          of the chip's latency timer, 16 ms unless given, or
                          until 62 bytes wait); cp210x, ch341, pl2303 (USB
                          transfers of 64, 32, 64 bytes, one per 1 ms frame);
                          uart16550 (a built-in port: 115200 bit/s at most)

Timing:
  --answer-delay-us US    from the end of a packet to the answer (default 1000)
  --enq-delay MS          action finished -> ENQ, for most actions (default 200)
  --upload-enq-delay MS   the same after action 11, storing an upload (800)
  --erase-enq-delay MS    the same after action 13, erasing a program (1200)
  --ready-delay MS        register 18 reads 0 this long after ENQ (100)
  --packet-size N         data bytes per packet the camera sends (512)

Faults (repeat --fault for several):
  --fault KIND[@N[xK]][:VALUE]
                          misbehave at the Nth event of the kind's sort
                          (default 1), K times in a row (default 1):
      nak, dc1, ff        answer the Nth packet from the PC with NAK, DC1 or
                          0xFF instead of acting on it
      stray:COUNT         COUNT stray bytes before the answer (default 3)
      silence:MS          from the Nth packet on, ignore everything for MS
                          milliseconds, or for good when MS is 0 or left out
      corrupt             corrupt the checksum of the Nth data packet sent
      no-enq-upload, lose-upload
                          at the Nth action 11: no ENQ; or ENQ but the
                          program is not stored (the count stays the same)
      no-enq-erase, ignore-erase, fail-erase
                          at the Nth action 13: no ENQ; ENQ but nothing
                          erased; or the action refused with CAN
      low-battery:LEVEL   from the Nth read of register 16 on it reads LEVEL
                          (default 10)
      fail-model-text     the Nth read of the model text is refused with CAN
  --random-faults SEED:PERMILLE
                          answer PERMILLE in 1000 packets with a NAK, DC1,
                          stray bytes, a short silence or a corrupted reply,
                          chosen by a generator seeded with SEED

Output:
  --wire-log FILE         write every packet decoded, with time, direction
                          and both sides' speeds (- for standard output)
  --dump FOLDER           on exit, write the programs then in the camera to
                          FOLDER, with directory.txt listing their records
  --store-file FILE       keep FILE holding the listing of directory.txt for
                          the programs in the camera, rewritten (whole, by
                          renaming) at start and after every store or erase
  --quiet                 no progress messages
  --config FILE           read settings from FILE: one "name = value" a line,
                          names as the long options without "--" (e.g.
                          "model = SR82 camera", "program = CLOCK.FNC");
                          options on the command line win
  --help                  this text

Example:
  make-sample-programs /tmp/programs
  camera-emulator --link /tmp/oskel-camera --program /tmp/programs/CLOCK.FNC \
      --wire-log /tmp/oskel-wire.log --dump /tmp/camera-after
)";
}

} // namespace oskel::emulator
