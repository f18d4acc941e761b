#include "camera/CameraConnection.h"

#include "camera/CommSettings.h"
#include "platform/PlatformInfo.h"
#include "platform/ProfileFile.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/ModifierKeys.h"

#include <algorithm>
#include <cstdio>

namespace oskel {
namespace {

int g_connections = 0;
std::vector<std::string> g_portNames;
bool g_olderModelsAccepted = false;
bool g_unknownModelsAccepted = false;

PlatformInfo& PlatformOf(const CommEnvironment& e)
{
    return e.platform != nullptr ? *e.platform : LinuxPlatformInfo::Instance();
}

std::string FormatPortName(int number)
{
    const std::string format = res::LoadString(res::IDS_PORT_NAME);
    char name[32];
    std::snprintf(name, sizeof name, format.empty() ? "COM%d" : format.c_str(), number);
    return name;
}

} // namespace

const unsigned CCameraConnection::kOlderModelsChord = ui::kModCtrl | ui::kModShift;
const unsigned CCameraConnection::kUnknownModelsChord = ui::kModCtrl | ui::kModShift | ui::kModAlt;

CCameraConnection::CCameraConnection(ProfileFile& settings, const CommEnvironment& environment)
    : CCameraComm(environment), m_settings(settings), m_platform(PlatformOf(environment))
{
    ReadSettings();
}

CCameraConnection::CCameraConnection(ProfileFile& settings, SerialPortOps& ops, TimeSource& time,
                                     PlatformInfo& platform)
    : CCameraComm(ops, time), m_settings(settings), m_platform(platform)
{
    ReadSettings();
}

void CCameraConnection::ReadSettings()
{
    m_nPortSetting = m_settings.GetInt(kCommSection, kPortKey, kDefaultPortSetting);
    m_nSpeedSetting = m_settings.GetInt(kCommSection, kSpeedKey, kDefaultSpeedSetting);
    m_bPortAuto = (m_nPortSetting & SETTING_AUTO) != 0;
    m_bSpeedAuto = (m_nSpeedSetting & SETTING_AUTO) != 0;
    m_nPortSetting &= ~SETTING_AUTO;
    m_nSpeedSetting &= ~SETTING_AUTO;
    if (g_connections == 0)
        BuildPortNames();
    ++g_connections;
}

// A stored port that the list does not name (at or above "MaxPort", or
// negative: the serial layer has no negative index) opens the first port
// instead; the automatic mark stays as it was stored for this run, and the
// destructor writes the automatic first port back unless the run moved to
// another port.
void CCameraConnection::BuildPortNames()
{
    const int fallback = m_platform.IsWin32s() ? kDefaultMaxPortWin32s : kDefaultMaxPort;
    const int maxPort = std::clamp(m_settings.GetInt(kCommSection, kMaxPortKey, fallback), 0, kMaxPortLimit);
    g_portNames.clear();
    for (int i = 1; i <= maxPort; ++i)
        g_portNames.push_back(FormatPortName(i));
    const int stored = static_cast<int16_t>(m_nPortSetting & 0xFFFF);
    if (stored >= maxPort || stored < 0) {
        m_nPortSetting = 0;
        m_bPortFellBack = true;
    }
}

CCameraConnection::~CCameraConnection()
{
    int port = m_nPortSetting;
    int speed = m_nSpeedSetting;
    if (m_bPortAuto || (m_bPortFellBack && port == 0))
        port |= SETTING_AUTO;
    if (m_bSpeedAuto)
        speed |= SETTING_AUTO;
    if (!m_bKeepStoredSettings) {
        m_settings.WriteInt(kCommSection, kPortKey, port);
        m_settings.WriteInt(kCommSection, kSpeedKey, speed);
    }
    if (--g_connections == 0)
        g_portNames.clear();
}

const std::vector<std::string>& CCameraConnection::PortNames() { return g_portNames; }
bool CCameraConnection::OlderModelsAccepted() { return g_olderModelsAccepted; }
bool CCameraConnection::UnknownModelsAccepted() { return g_unknownModelsAccepted; }

void CCameraConnection::ResetRunFlagsForTest()
{
    g_olderModelsAccepted = false;
    g_unknownModelsAccepted = false;
}

int CCameraConnection::LadderRungs()
{
    return m_platform.IsWin32s() ? kLadderRungsWin32s : kLadderRungs;
}

int CCameraConnection::Connect()
{
    Ops().ResetOpenDiagnostics();
    m_bRefused = false;
    m_failure = ConnectFailure{};
    const int rungs = LadderRungs();
    SetSpeed(m_nSpeedSetting);
    SetPort(m_nPortSetting);
    bool ok = Open() != 0;
    if (ok && !CheckAlive(0)) {
        Disconnect(kSettleAfterDisconnectMs);
        ok = false;
    }
    int current = m_nSpeedSetting;
    if (!ok && m_bPortAuto) {
        if (m_bSpeedAuto) {
            current = kSpeedLadder[0];
            SetSpeed(current);
        }
        if (!FindPort(0, static_cast<int>(g_portNames.size()))) {
            NoteFailure();
            return 0;
        }
        ok = true;
        m_nPortSetting = static_cast<int16_t>(GetPort());
    }
    if (m_bSpeedAuto)
        ok = ClimbSpeed(ok, current, rungs);
    if (ok)
        ok = Admit();
    if (!ok)
        NoteFailure();
    return ok ? 1 : 0;
}

// Climbs the ladder from the speed the link is on (or from 19200 after a
// fresh open) as far as both the PC port and the camera follow; a failed
// step ends on the rung below after a full reconnect.
bool CCameraConnection::ClimbSpeed(bool ok, int current, int rungs)
{
    int i = 0;
    if (ok) {
        if (CheckAlive(0)) {
            for (int rung = rungs; rung >= 1; --rung) {
                if (kSpeedLadder[rung - 1] == current) {
                    i = rung;
                    break;
                }
            }
        }
        if (i == 0) {
            Disconnect(kSettleAfterDisconnectMs);
            ok = false;
        }
    }
    if (!ok) {
        SetSpeed(kSpeedLadder[0]);
        i = 1;
        ok = Open() != 0;
        if (ok && !CheckAlive(0)) {
            Disconnect(kSettleAfterDisconnectMs);
            ok = false;
        }
    }
    while (ok && i < rungs) {
        const int next = kSpeedLadder[i];
        const int now = kSpeedLadder[i - 1];
        const bool faster = SetLocalSpeed(next) != 0;
        const bool back = SetLocalSpeed(now) != 0;
        ok = faster && back && SetSpeed(next) && CheckAlive(0);
        ++i;
    }
    if (i > 1) {
        if (ok) {
            m_nSpeedSetting = kSpeedLadder[i - 1];
        } else {
            m_nSpeedSetting = kSpeedLadder[i - 2];
            Disconnect(kSettleAfterDisconnectMs);
            SetSpeed(m_nSpeedSetting);
            Open();
            ok = CheckAlive(0) != 0;
        }
    }
    return ok;
}

bool CCameraConnection::Admit()
{
    const int family = Identify();
    bool admitted = false;
    if (m_bModelTextUnread) {
        m_failure.modelTextUnread = true;
    } else if (family == 4 || family == 5) {
        m_settings.WriteInt(kCommSection, kCameraKey, family == 4 ? kCameraValueFamily4 : kCameraValueFamily5);
        admitted = true;
    } else if (family >= 1 && family <= 3) {
        if (!g_olderModelsAccepted && ui::AreModifiersHeld(kOlderModelsChord))
            g_olderModelsAccepted = true;
        admitted = g_olderModelsAccepted;
    } else {
        if (!g_unknownModelsAccepted && ui::AreModifiersHeld(kUnknownModelsChord))
            g_unknownModelsAccepted = true;
        admitted = g_unknownModelsAccepted;
    }
    if (!admitted) {
        m_bRefused = true;
        m_failure.family = family;
        Disconnect(kSettleAfterDisconnectMs);
    }
    return admitted;
}

void CCameraConnection::NoteFailure()
{
    const OpenDiagnostics d = Ops().GetOpenDiagnostics();
    if (m_bRefused)
        m_failure.kind = ConnectFailure::Refused;
    else if (d.opened > 0)
        m_failure.kind = ConnectFailure::Silent;
    else
        m_failure.kind = ConnectFailure::NoPort;
    m_failure.open = d.worst;
    m_failure.unplugged = d.unplugged && d.opened == 0;
    // An automatic speed climbs only as far as the port goes: a refusal on
    // the way up is not why the camera was not reached.
    if (!m_bSpeedAuto && d.refusedSpeed == m_nSpeedSetting) {
        m_failure.refusedSpeed = d.refusedSpeed;
        m_failure.speedLimit = d.speedLimit;
        m_failure.refusedAtIndex = d.refusedAtIndex;
    }
}

int CCameraConnection::Disconnect(unsigned settleMs)
{
    if (settleMs != 0)
        PurgeBuffers();
    const int r = Close();
    if (settleMs != 0)
        WaitMs(settleMs);
    return r;
}

int CCameraConnection::SetPortAndSpeed(int port, int speed)
{
    const bool wasOpen = IsOpen() != 0;
    if (!Disconnect(0))
        return 0;
    m_bPortAuto = port == kAutomaticChoice;
    if (!m_bPortAuto)
        m_nPortSetting = port;
    m_bSpeedAuto = speed == kAutomaticChoice;
    if (!m_bSpeedAuto)
        m_nSpeedSetting = speed;
    if (wasOpen)
        WaitMs(kSettleBeforeReconnectMs);
    return Connect();
}

int CCameraConnection::GetPortChoice()
{
    return m_bPortAuto ? kAutomaticChoice : static_cast<int16_t>(GetPort());
}

int CCameraConnection::GetSpeedChoice()
{
    return m_bSpeedAuto ? kAutomaticChoice : GetSpeed();
}

int CCameraConnection::CheckAlive(int reconnect)
{
    if (GetReg1() != kNoAnswerReg1)
        return 1;
    if (!reconnect)
        return 0;
    return SetPortAndSpeed(GetPortChoice(), GetSpeedChoice());
}

// 1 to 20 is low, and so is every negative value: a failed read (-1) too.
int CCameraConnection::IsBatteryOk()
{
    const int32_t level = GetReg16();
    return level > kLowBatteryLevel || level == 0 ? 1 : 0;
}

} // namespace oskel
