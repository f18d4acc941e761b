#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace oskel::cli {

// An output stream on a file descriptor that remembers why it failed: the
// first failed write (or close) is kept with its errno, and what is written
// after it is dropped, so a run goes on to close the camera link and only
// then tells the write error. A write into a closed pipe fails with EPIPE
// (the program ignores SIGPIPE).
class CheckedOutput final : public std::streambuf {
public:
    // `fd` is not owned unless Open made it.
    explicit CheckedOutput(int fd = -1) : m_fd(fd) {}
    ~CheckedOutput() override;
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Creates or truncates `path`; false with Error() set when it cannot.
    bool Open(const std::string& path);
    // Flushes, and closes the descriptor when Open made it; false when
    // anything written was lost.
    bool Close();

    int Error() const { return m_error; }   // errno of the first failure, 0 if none
    bool Written() const { return m_count > 0; } // anything was handed to it
    std::string Reason() const;              // strerror of Error()

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool Flush();
    void WriteAll(const char* s, size_t n);

    int m_fd;
    bool m_owned = false;
    int m_error = 0;
    long long m_count = 0;
    char m_buffer[4096];
};

// std::ostream over a CheckedOutput.
class CheckedStream : public std::ostream {
public:
    explicit CheckedStream(int fd = -1) : std::ostream(&m_buf), m_buf(fd) {}
    CheckedOutput& Output() { return m_buf; }

private:
    CheckedOutput m_buf;
};

} // namespace oskel::cli
