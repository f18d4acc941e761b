#include "EmulatorRun.h"

#include <cstdlib>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace oskel::bench {

namespace {

std::vector<std::string> WithWireLog(std::vector<std::string> args)
{
    if (const char* wireLog = std::getenv("OSKEL_BENCH_WIRE_LOG"); wireLog != nullptr && *wireLog != 0)
        args.insert(args.end(), {"--wire-log", wireLog});
    return args;
}

} // namespace

EmulatorRun::EmulatorRun(const std::string& program, const std::string& link, const std::vector<std::string>& extra)
    : EmulatorProcess(program, link, WithWireLog(extra))
{
}

SilentPort::SilentPort()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return;
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) == 0)
        m_slave = name;
}

SilentPort::~SilentPort()
{
    if (m_master >= 0)
        ::close(m_master);
}

} // namespace oskel::bench
