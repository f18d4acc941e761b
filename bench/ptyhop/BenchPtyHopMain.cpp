// bench_pty_hop: how long a byte takes from a writer on one side of a
// pseudo-terminal to another process sleeping in poll() on the other side,
// on this machine now. Every exchange with the emulated camera crosses the
// pty twice (command in, answer out), each time waking a sleeping process,
// so this latency sits in every short exchange and is the machine's, not the
// program's: the report prints it beside the results.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
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

// The reader: each message is the moment it was written.
int Read(int slave, int samples)
{
    std::vector<double> us;
    while (static_cast<int>(us.size()) < samples) {
        pollfd p{slave, POLLIN, 0};
        if (poll(&p, 1, 1000) != 1)
            return 1;
        uint64_t sent = 0;
        if (read(slave, &sent, sizeof sent) != static_cast<ssize_t>(sizeof sent))
            return 1;
        us.push_back(static_cast<double>(NowNs() - sent) / 1000.0);
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<size_t>(q * static_cast<double>(us.size() - 1))]; };
    std::printf("pty hop (write on one side -> another process sleeping in poll() wakes and reads on the other), "
                "%d samples: median %.0f us, p90 %.0f us, p99 %.0f us, max %.0f us\n",
                samples, at(0.5), at(0.9), at(0.99), us.back());
    std::fflush(stdout); // the reader ends with _exit
    return 0;
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
    const pid_t reader = fork();
    if (reader < 0)
        return 1;
    if (reader == 0)
        _exit(Read(slave, samples));
    timespec settle{0, 50000000};
    nanosleep(&settle, nullptr);
    for (int i = 0; i < samples; ++i) {
        const uint64_t now = NowNs();
        if (write(master, &now, sizeof now) != static_cast<ssize_t>(sizeof now))
            break;
        timespec gap{0, 2000000};
        nanosleep(&gap, nullptr);
    }
    int status = 0;
    waitpid(reader, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
