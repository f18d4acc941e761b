// The single-instance guard across processes: a child process holds the
// camera lock while the test tries to take it.
#include "app/SingleInstance.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oskel::test {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        if (old != nullptr)
            m_oldRuntimeDir = old;
        setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_holder > 0) {
            kill(m_holder, SIGKILL);
            waitpid(m_holder, nullptr, 0);
        }
        if (m_oldRuntimeDir.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", m_oldRuntimeDir.c_str(), 1);
    }

    // A child process that takes the guard, reports the outcome through a
    // pipe and then waits to be killed.
    bool StartHolder()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_holder = fork();
        if (m_holder == 0) {
            close(fds[0]);
            CSingleInstance guard;
            const char ok = guard.Check() ? 'y' : 'n';
            (void)!write(fds[1], &ok, 1);
            for (;;)
                pause();
        }
        close(fds[1]);
        char ok = 0;
        const bool read = ::read(fds[0], &ok, 1) == 1;
        close(fds[0]);
        return read && ok == 'y';
    }

    void KillHolder()
    {
        kill(m_holder, SIGKILL);
        waitpid(m_holder, nullptr, 0);
        m_holder = -1;
    }

    TempDir m_runtime;
    std::string m_oldRuntimeDir;
    pid_t m_holder = -1;
};

TEST_F(SingleInstanceTest, SecondProcessIsRefusedUntilTheHolderDies)
{
    ASSERT_TRUE(StartHolder());
    CSingleInstance refused;
    EXPECT_FALSE(refused.Check());
    EXPECT_FALSE(refused.FailedToLock());
    EXPECT_EQ(refused.Lock().Path(), m_runtime / "OskelCameraMutex.lock");

    KillHolder();
    CSingleInstance after;
    EXPECT_TRUE(after.Check());
    EXPECT_TRUE(after.Check()) << "a holder asking again keeps the lock";
}

TEST_F(SingleInstanceTest, TwoGuardsInOneProcessConflictAndDestructionReleases)
{
    {
        CSingleInstance first;
        ASSERT_TRUE(first.Check());
        CSingleInstance second;
        EXPECT_FALSE(second.Check());
    }
    CSingleInstance third;
    EXPECT_TRUE(third.Check());
}

TEST_F(SingleInstanceTest, UnusableLockFolderRefusesAndSaysWhy)
{
    setenv("XDG_RUNTIME_DIR", (m_runtime / "missing").c_str(), 1);
    CSingleInstance guard;
    EXPECT_FALSE(guard.Check());
    EXPECT_TRUE(guard.FailedToLock());
}

TEST(ProcessLockPathTest, FallsBackToTmpWithTheUserId)
{
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
    EXPECT_EQ(ProcessLockPath("Name"), "/tmp/Name-" + std::to_string(getuid()) + ".lock");
    if (old != nullptr)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace oskel::test
