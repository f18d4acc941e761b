#include "app/UploaderApp.h"

#include "res/StringTable.h"
#include "ui/MessageBox.h"

#include <cstdio>
#include <cstring>

namespace oskel {

CUploaderApp::CUploaderApp(UploaderAppEnvironment environment)
    : m_env(std::move(environment)),
      m_guard(m_env.guardName),
      m_settings(m_env.settingsPath.empty() ? SettingsFilePath() : m_env.settingsPath)
{
}

CUploaderApp::~CUploaderApp()
{
    ExitInstance();
}

bool CUploaderApp::InitInstance()
{
    m_startExitStatus = 0;
    if (!m_guard.Check()) {
        if (m_guard.FailedToLock())
            std::fprintf(stderr, "The camera lock %s could not be taken: %s\n", m_guard.Lock().Path().c_str(),
                         std::strerror(m_guard.Lock().Error()));
        ui::AfxMessageBox(res::IDS_ALREADY_RUNNING, ui::MB_ICONEXCLAMATION);
        m_startExitStatus = kExitStatusOtherInstance;
        return false;
    }

    std::unique_ptr<CCameraHolder> holder = m_env.makeHolder ? m_env.makeHolder(m_settings.File())
                                                             : std::make_unique<CCameraHolder>(m_settings.File());
    m_pMainDialog = m_env.makeDialog ? m_env.makeDialog(m_settings, std::move(holder))
                                     : std::make_unique<CUploadDialog>(m_settings, std::move(holder));
    m_pView = m_env.makeView();
    if (!m_pMainDialog->Create(*m_pView)) {
        m_startExitStatus = kExitStatusNoCamera;
        ExitInstance();
        return false;
    }
    m_pView->Show();
    return true;
}

void CUploaderApp::ExitInstance()
{
    // A loop that ended with the window still there (the session ends, say)
    // destroys it first, so its position is saved and it lets go of the
    // dialog's lists.
    if (m_pMainDialog != nullptr && m_pView != nullptr && m_pView->Exists())
        m_pView->DestroyWindow();
    m_pMainDialog.reset();
    m_pView.reset();
}

} // namespace oskel
