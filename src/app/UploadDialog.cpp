#include "app/UploadDialog.h"

#include "app/FitPathToWidth.h"
#include "app/WindowPosition.h"
#include "res/StringTable.h"
#include "transfer/ProgramTransfer.h"
#include "ui/MessageBox.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace oskel {

const char* const CUploadDialog::kSection = "UploadDialog";
const char* const CUploadDialog::kPositionKey = "AppPosition";
const char* const CUploadDialog::kFolderKey = "OPFFolder";

namespace {

std::string WithSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string CUploadDialog::DefaultFolder()
{
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (1u << 20)) {
            const char* home = std::getenv("HOME");
            return home != nullptr && home[0] == '/' ? WithSeparator(home) : "/";
        }
        buffer.resize(buffer.size() * 2);
    }
    return WithSeparator(buffer.data());
}

CUploadDialog::CUploadDialog(CSettingsStore& settings, std::unique_ptr<CCameraHolder> holder)
    : m_settings(settings),
      m_pHolder(std::move(holder)),
      m_strFolder(WithSeparator(m_settings.GetProfileString(kSection, kFolderKey, DefaultFolder()))),
      m_catalog(*m_pHolder)
{
}

CUploadDialog::~CUploadDialog() = default;

bool CUploadDialog::Create(ui::IUploadDialogView& view)
{
    CCameraConnection* connection = m_pHolder->Acquire();
    if (connection == nullptr)
        return false;
    m_pHolder->Release();
    if (!connection->IsBatteryOk())
        ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_ICONEXCLAMATION);

    m_pView = &view;
    m_catalog.SetEnableHooks({
        [this](bool enable) { m_pView->EnableItem(IDC_UPLOAD, enable); },
        [this](bool enable) { m_pView->EnableItem(IDC_REMOVE, enable); },
    });
    ProgramTransferHooks hooks;
    hooks.owner = m_pView;
    hooks.enableRemoveByCameraSelection = [this] { EnableRemoveByCameraSelection(); };
    m_pTransfer = std::make_unique<CProgramTransfer>(*m_pHolder, m_catalog, m_catalog.FolderList(),
                                                     m_catalog.CameraList(), std::move(hooks));
    if (!view.Create(*this)) {
        m_pView = nullptr;
        return false;
    }
    return true;
}

bool CUploadDialog::OnInitDialog()
{
    m_pView->BindList(IDC_FOLDER_LIST, m_catalog.FolderList());
    m_pView->BindList(IDC_CAMERA_LIST, m_catalog.CameraList());

    const std::string about = res::LoadString(res::IDS_ABOUT_MENU);
    if (!about.empty())
        m_pView->AppendAboutItem(about);

    ui::Rect rect = m_pView->GetWindowRect();
    ui::Rect saved;
    int showState = 0;
    if (LoadWindowPosition(m_settings, kSection, kPositionKey, &saved, &showState)) {
        rect = {saved.left, saved.top, saved.left + rect.Width(), saved.top + rect.Height()};
    }
    ClampRectToScreen(&rect, m_pView->GetScreenRect());
    m_pView->SetWindowRect(rect);

    m_pView->SetUpUploadButton();
    m_pView->SetInfoColors(kInfoBackground, kInfoText);
    m_pView->SetItemText(IDC_INFO, res::LoadString(res::IDS_INFO_TEXT) + res::LoadString(res::IDS_INFO_TEXT_BROWSE));
    SetPathLabel(m_strFolder);

    m_catalog.RefreshFolderList(&m_catalog.FolderList(), m_strFolder);
    m_catalog.RefreshCameraList(&m_catalog.CameraList());
    return true;
}

void CUploadDialog::OnCommand(int id, int notification)
{
    switch (id) {
    case IDC_FOLDER_LIST:
        if (notification == ui::kSelChange)
            EnableUploadByFolderSelection();
        break;
    case IDC_CAMERA_LIST:
        if (notification == ui::kSelChange)
            EnableRemoveByCameraSelection();
        break; // a double click does nothing
    case IDC_BROWSE:
        if (notification == ui::kClicked)
            RunCommand(&CUploadDialog::OnBrowse);
        break;
    case IDC_UPLOAD:
        if (notification == ui::kClicked)
            RunCommand(&CUploadDialog::OnUpload);
        break;
    case IDC_REMOVE:
        if (notification == ui::kClicked)
            RunCommand(&CUploadDialog::OnRemove);
        break;
    case IDC_CLOSE:
        // Also during a command: the posted request is kept until it is over.
        if (notification == ui::kClicked && m_pView != nullptr)
            m_pView->PostClose();
        break;
    case static_cast<int>(ID_APP_ABOUT):
        RunCommand(&CUploadDialog::OnAbout);
        break;
    default:
        break;
    }
}

bool CUploadDialog::OnSysCommand(unsigned id)
{
    if (id != ID_APP_ABOUT && (id & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    OnCommand(static_cast<int>(ID_APP_ABOUT), ui::kClicked);
    return true;
}

bool CUploadDialog::RunCommand(void (CUploadDialog::*command)())
{
    if (m_bBusy || m_pView == nullptr || !m_pView->Exists())
        return false;
    m_bBusy = true;
    m_pView->SetBusy(true);
    (this->*command)();
    m_bBusy = false;
    if (m_pView->Exists())
        m_pView->SetBusy(false);
    if (m_bCloseWhenIdle) {
        m_bCloseWhenIdle = false;
        OnCancel();
    }
    return true;
}

void CUploadDialog::OnOK()
{
    // Enter or Escape pressed during a command is dropped; the window is
    // never destroyed under a command that still uses it.
    if (m_bClosing && !m_bBusy && m_pView != nullptr && m_pView->Exists())
        m_pView->DestroyWindow();
}

void CUploadDialog::OnCancel()
{
    OnOK();
}

void CUploadDialog::OnClose()
{
    m_bClosing = true;
    // A close request that comes while a command runs (the close box, a
    // signal, a close posted before the command began) is carried out when
    // the command is over.
    if (m_bBusy) {
        m_bCloseWhenIdle = true;
        return;
    }
    OnCancel();
}

void CUploadDialog::OnDestroy()
{
    // A position the desktop never told us would overwrite a real one saved
    // in another session.
    if (m_pView->KnowsWindowPosition()) {
        int showState = ui::SW_SHOWNORMAL;
        const ui::Rect normal = m_pView->GetNormalRect(&showState);
        SaveWindowPosition(m_settings, kSection, kPositionKey, normal, showState);
    }
    m_aboutBoxes.clear();
}

void CUploadDialog::OnUpload()
{
    m_pTransfer->UploadSelected();
}

void CUploadDialog::OnRemove()
{
    m_pTransfer->RemoveSelected();
}

void CUploadDialog::EnableUploadByFolderSelection()
{
    m_catalog.EnableUploadByFolderSelection();
}

void CUploadDialog::EnableRemoveByCameraSelection()
{
    m_catalog.EnableRemoveByCameraSelection();
}

void CUploadDialog::SetPathLabel(const std::string& path)
{
    if (m_pView == nullptr)
        return;
    const int width = m_pView->GetClientWidth(IDC_FOLDER_LABEL);
    const TextMeasure measure = [this](std::string_view text) {
        return m_pView->MeasureItemText(IDC_FOLDER_LABEL, text);
    };
    m_pView->SetItemText(IDC_FOLDER_LABEL, FitPathToWidth(path, width, measure));
}

void CUploadDialog::ApplyChosenFolder(const std::string& folder)
{
    m_strFolder = WithSeparator(folder);
    m_settings.WriteProfileString(kSection, kFolderKey, m_strFolder);
    SetPathLabel(m_strFolder);
    m_catalog.RefreshFolderList(&m_catalog.FolderList(), m_strFolder);
}

} // namespace oskel
