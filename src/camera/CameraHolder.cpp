#include "camera/CameraHolder.h"

#include "camera/CommSettings.h"
#include "camera/ConnectFailureText.h"
#include "camera/DlgCameraNotFound.h"
#include "platform/PlatformInfo.h"
#include "ui/MessageBox.h"
#include "ui/WaitCursor.h"

namespace oskel {

CCameraHolder::CCameraHolder(ProfileFile& settings, const CommEnvironment& environment)
    : m_pConnection(std::make_unique<CCameraConnection>(settings, environment))
{
}

CCameraHolder::CCameraHolder(std::unique_ptr<CCameraConnection> connection) : m_pConnection(std::move(connection)) {}

CCameraHolder::~CCameraHolder()
{
    m_pConnection->Close();
    m_pConnection.reset();
}

CCameraConnection* CCameraHolder::Acquire()
{
    if (m_nBusy != 0)
        return nullptr;
    struct Busy {
        int& count;
        explicit Busy(int& c) : count(c) { ++count; }
        ~Busy() { --count; }
    } busy(m_nBusy);

    if (m_bInUse)
        return nullptr;
    if (InteractiveConnect()) {
        m_bInUse = true;
        return m_pConnection.get();
    }
    m_pConnection->Close();
    return nullptr;
}

void CCameraHolder::Release()
{
    m_bInUse = false;
}

bool CCameraHolder::InteractiveConnect()
{
    CCameraConnection& c = *m_pConnection;
    bool ok = false;
    if (c.IsOpen() || c.Connect()) {
        ui::CWaitCursor wait;
        ok = c.CheckAlive(1) != 0;
    }
    while (!ok) {
        CDlgCameraNotFound dlg(kAutomaticChoice, c.Platform().IsWin32s());
        dlg.SetPortNames(CCameraConnection::PortNames());
        dlg.SetDetails({DescribeConnectFailure(c.LastFailure()), IsUserFixable(c.LastFailure())});
        dlg.m_nPortChoice = c.GetPortChoice();
        dlg.m_nSpeedChoice = c.GetSpeedChoice();
        if (dlg.DoModal() == ui::IDCANCEL)
            break;
        if (c.SetPortAndSpeed(dlg.m_nPortChoice, dlg.m_nSpeedChoice))
            ok = c.CheckAlive(1) != 0;
    }
    return ok;
}

} // namespace oskel
