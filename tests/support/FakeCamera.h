#pragma once

#include "support/ScriptedLine.h"

#include <map>
#include <string>

namespace oskel::test {

// A small camera behind a ScriptedLine, for connection tests: it sits on
// one port, answers only while the PC's speed equals its own, takes speed
// changes up to its fastest speed, and answers register reads and the text
// reads from its tables. Register 1 answers 1 unless set otherwise.
class FakeCamera {
public:
    explicit FakeCamera(ScriptedLine& line, int port = 0);

    std::map<int, int32_t> registers;
    std::map<int, std::string> texts; // 22 id, 26 version, 27 model
    int port;
    int fastest = 230400;
    int speed = 19200;     // the camera's own line speed
    bool present = true;   // false: the camera is switched off
    int speedChanges = 0;

private:
    Bytes Answer(const Bytes& frame);

    ScriptedLine& m_line;
};

} // namespace oskel::test
