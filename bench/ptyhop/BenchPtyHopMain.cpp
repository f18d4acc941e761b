// bench_pty_hop: how long a byte takes from one side of a pseudo-terminal to
// a reader on the other, on this machine now. Every exchange with the
// emulated camera crosses the pty twice (command in, answer out), so this
// latency sits in every short exchange and is the machine's, not the
// program's: the report prints it beside the results.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

uint64_t NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

} // namespace

int main(int argc, char** argv)
{
    const int samples = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return 1;
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave < 0 || tcgetattr(slave, &tio) != 0)
        return 1;
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    std::vector<double> us;
    uint8_t b = 0x55;
    for (int i = 0; i < samples; ++i) {
        const uint64_t start = NowNs();
        if (write(master, &b, 1) != 1)
            return 1;
        pollfd p{slave, POLLIN, 0};
        if (poll(&p, 1, 1000) != 1 || read(slave, &b, 1) != 1)
            return 1;
        us.push_back(static_cast<double>(NowNs() - start) / 1000.0);
        timespec gap{0, 2000000};
        nanosleep(&gap, nullptr);
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<size_t>(q * static_cast<double>(us.size() - 1))]; };
    std::printf("pty hop (write on one side -> poll wakes and reads on the other), %d samples: median %.0f us, "
                "p90 %.0f us, p99 %.0f us, max %.0f us\n",
                samples, at(0.5), at(0.9), at(0.99), us.back());
    return 0;
}
