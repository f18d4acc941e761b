// Pictures of the About box, the input box and the folder chooser.
#include "AboutWindow.h"
#include "FolderBrowserWindow.h"
#include "InputBoxWindow.h"
#include "ScreenshotTable.h"
#include "app/DlgAbout.h"
#include "app/DlgInputBox.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace oskel::qt::shots {
namespace {

QImage About(const std::string& versionLine, const std::string& idLine)
{
    CAboutWindow window;
    window.Create(nullptr, {});
    window.SetItemText(CDlgAbout::IDC_CAMERA_VERSION, versionLine);
    window.SetItemText(CDlgAbout::IDC_CAMERA_INFO, idLine);
    return WindowPicture(window);
}

// Lets the folder model read the folders it was asked for.
void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void AddDialogShots(std::vector<Shot>& shots)
{
    shots.push_back({"about", [] { return About("Camera Version: EMU 1.00", "Camera Id: OSKEL-EMU-000001"); }});
    shots.push_back({"about-not-connected", [] { return About("", res::LoadString(res::IDS_CAMERA_NOT_CONNECTED)); }});
    shots.push_back({"input-box-new-folder", [] {
                         CInputBoxWindow window;
                         std::string prompt = res::LoadString(res::IDS_NEW_FOLDER_PROMPT);
                         prompt.replace(prompt.find("%s"), 2, "/home/ann/.../Programs");
                         window.SetCaption(res::LoadString(res::IDS_NEW_FOLDER));
                         window.SetItemText(CDlgInputBox::IDC_PROMPT, prompt);
                         window.SetItemText(CDlgInputBox::IDC_VALUE, "Games");
                         window.GotoDlgCtrl(CDlgInputBox::IDC_VALUE);
                         return WindowPicture(window);
                     }});
    shots.push_back({"folder-chooser", [] {
                         QTemporaryDir dir;
                         for (const char* sub : {"Programs", "Programs/Games", "Programs/Tools", "Pictures"})
                             QDir(dir.path()).mkpath(QString::fromUtf8(sub));
                         CFolderBrowserWindow window;
                         window.SetPrompt(res::LoadString(res::IDS_CHOOSE_FOLDER_PROMPT));
                         window.SetSelection(dir.path().toStdString() + "/Programs");
                         Settle(300);
                         window.SetSelection(dir.path().toStdString() + "/Programs");
                         Settle(300);
                         return WindowPicture(window);
                     }});
}

} // namespace oskel::qt::shots
