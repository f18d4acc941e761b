#include "app/DlgAbout.h"

#include "camera/CameraHolder.h"
#include "camera/CameraIdentityText.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

namespace oskel {

CDlgAbout::~CDlgAbout()
{
    m_pParent = nullptr;
    m_pView.reset();
}

bool CDlgAbout::Create(ui::IOwnerWindow* parent)
{
    return Create(parent, ui::CreateAboutView());
}

bool CDlgAbout::Create(ui::IOwnerWindow* parent, std::unique_ptr<ui::IAboutView> view)
{
    m_pParent = parent;
    m_pView = std::move(view);
    if (m_pView == nullptr)
        return false;
    if (!m_pView->Create(parent, [this](bool shown) { OnShowWindow(shown); })) {
        m_pView.reset();
        return false;
    }
    return true;
}

void CDlgAbout::ShowWindow()
{
    if (IsWindow())
        m_pView->Show();
}

void CDlgAbout::UpdateWindow()
{
    if (IsWindow())
        m_pView->Repaint();
}

void CDlgAbout::SetDlgItemText(int id, const std::string& text)
{
    if (IsWindow())
        m_pView->SetItemText(id, text);
}

void CDlgAbout::OnShowWindow(bool show)
{
    if (m_pParent != nullptr)
        m_pParent->EnableWindow(!show);
}

CDlgAbout& ShowAboutBox(CCameraHolder& holder, ui::IOwnerWindow* mainDialog, AboutBoxes& boxes)
{
    std::string firstLine = res::LoadString(res::IDS_GETTING_CAMERA_INFO);
    std::string secondLine;

    // The box is the command's own until the camera has been read: Acquire
    // and CheckAlive let window events run, and whatever happens to the list
    // of boxes meanwhile, this one stays valid.
    auto owned = std::make_unique<CDlgAbout>();
    CDlgAbout& box = *owned;
    box.Create(mainDialog);
    box.SetDlgItemText(CDlgAbout::IDC_CAMERA_INFO, firstLine);
    box.ShowWindow();
    box.UpdateWindow();

    CCameraConnection* camera = holder.Acquire();
    if (camera != nullptr)
        holder.Release();

    const bool ok = camera != nullptr && box.IsWindow() && camera->CheckAlive(1) != 0;
    if (ok) {
        char id[kCameraTextSize + 1] = {};
        char version[kCameraTextSize + 1] = {};
        camera->GetCameraId(id);
        camera->GetCameraVersion(version);
        firstLine = CameraIdLine(id);
        secondLine = CameraVersionLine(version);
    } else {
        firstLine = res::LoadString(res::IDS_CAMERA_NOT_CONNECTED);
    }

    if (box.IsWindow()) {
        box.SetDlgItemText(CDlgAbout::IDC_CAMERA_INFO, firstLine);
        box.SetDlgItemText(CDlgAbout::IDC_CAMERA_VERSION, secondLine);
    }
    boxes.push_back(std::move(owned));
    return box;
}

} // namespace oskel
