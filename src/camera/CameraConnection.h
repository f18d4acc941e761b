#pragma once

#include "protocol/CameraComm.h"
#include "serial/OpenError.h"

#include <string>
#include <vector>

namespace oskel {

class PlatformInfo;
class ProfileFile;

// Why the last Connect failed, for the user.
struct ConnectFailure {
    enum Kind {
        None,
        NoPort,  // no port could be opened: see `open`
        Silent,  // a port opened but no camera answered there
        Refused, // a camera answered but its family is not admitted
    };
    Kind kind = None;
    OpenError open;
    int family = 0;
    // The adapter went away (and no port opened since): told before the rest.
    bool unplugged = false;
    // The fixed speed the port's driver refused, with its limit and port
    // index (the link failed before the camera was asked).
    int refusedSpeed = 0;
    int speedLimit = 0;
    int refusedAtIndex = -1;
    // Refused because the camera's model text could not be read: no
    // override admits it (an unreadable text is no unknown model).
    bool modelTextUnread = false;
};

// The one camera connection: the camera communication object with its
// communication settings, the connection procedure (port search, speed
// climb, identification and admission), liveness and battery checks.
//
// Hidden overrides, read only at the moment a camera is admitted: holding
// Ctrl+Shift admits the older families 1 to 3, and Ctrl+Shift+Alt admits
// unknown cameras (family 0), each for the rest of the run.
class CCameraConnection : public CCameraComm {
public:
    // Reads "Port" and "Speed" from `settings`, which must outlive the
    // connection; the first connection also builds the port-name list.
    explicit CCameraConnection(ProfileFile& settings, const CommEnvironment& environment = {});
    // On a scripted or emulated line.
    CCameraConnection(ProfileFile& settings, SerialPortOps& ops, TimeSource& time, PlatformInfo& platform);
    // Writes "Port" and "Speed" back, unless KeepStoredSettings was called.
    ~CCameraConnection() override;

    // Leaves "Port" and "Speed" as they are stored (a run given up before
    // it reached a camera, on request).
    void KeepStoredSettings() { m_bKeepStoredSettings = true; }

    int Connect();
    int Disconnect(unsigned settleMs);
    int SetPortAndSpeed(int port, int speed);
    int GetPortChoice();
    int GetSpeedChoice();
    // The choices the next Connect starts from, as read from the settings
    // (before any link exists): -1 when automatic, else the port index or
    // the speed.
    // The port index the next Connect tries first.
    int PortSetting() const { return m_nPortSetting; }
    int StoredPortChoice() const { return m_bPortAuto ? -1 : m_nPortSetting; }
    int StoredSpeedChoice() const { return m_bSpeedAuto ? -1 : m_nSpeedSetting; }
    int CheckAlive(int reconnect);
    int IsBatteryOk();
    int Identify();
    int ClassifyModel(const char* modelText) const;

    static const std::vector<std::string>& PortNames();
    static bool OlderModelsAccepted();
    static bool UnknownModelsAccepted();
    // Forgets the run-wide flags (tests only: a run never clears them).
    static void ResetRunFlagsForTest();

    const ConnectFailure& LastFailure() const { return m_failure; }
    PlatformInfo& Platform() { return m_platform; }

    // The hidden chords.
    static const unsigned kOlderModelsChord;
    static const unsigned kUnknownModelsChord;

private:
    void ReadSettings();
    void BuildPortNames();
    bool ClimbSpeed(bool ok, int current, int rungs);
    bool Admit();
    int LadderRungs();
    void NoteFailure();

    int m_nPortSetting = 0;
    int m_nSpeedSetting = 19200;
    int m_bPortAuto = 0;
    int m_bSpeedAuto = 0;
    bool m_bPortFellBack = false; // the stored port was not one of the list

    ProfileFile& m_settings;
    PlatformInfo& m_platform;
    ConnectFailure m_failure;
    bool m_bRefused = false;
    bool m_bModelTextUnread = false; // the last Identify could not read the text
    bool m_bKeepStoredSettings = false;
};

} // namespace oskel
