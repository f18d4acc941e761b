// Pictures of the camera-not-found window, the progress window, every kind
// of message box and the drawn controls.
#include "BitmapPushButton.h"
#include "CameraNotFoundWindow.h"
#include "ColorStatic.h"
#include "ProgressWindow.h"
#include "QtMessageBox.h"
#include "Resources.h"
#include "TemplateDialog.h"
#include "ScreenshotTable.h"
#include "camera/DlgCameraNotFound.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

namespace oskel::qt::shots {
namespace {

QImage CameraNotFound(const ui::CameraNotFoundDetails& details, int port, int speed)
{
    CDlgCameraNotFound dialog(-1, false);
    dialog.SetPortNames({"COM1", "COM2", "COM3", "COM4"});
    dialog.m_nPortChoice = port;
    dialog.m_nSpeedChoice = speed;
    dialog.OnInitDialog();
    CCameraNotFoundWindow window(dialog.PortList(), dialog.SpeedList(), details);
    return WindowPicture(window);
}

std::string Formatted(unsigned id, const char* argument)
{
    char text[512];
    std::snprintf(text, sizeof text, res::LoadString(id).c_str(), argument);
    return text;
}

QImage Box(const std::string& text, unsigned type)
{
    const auto box = QtMessageBox::Create(text, type, nullptr);
    return WindowPicture(*box);
}

} // namespace

void AddCameraNotFoundShots(std::vector<Shot>& shots)
{
    shots.push_back({"camera-not-found", [] { return CameraNotFound({}, -1, -1); }});
    shots.push_back({"camera-not-found-permission", [] {
                         return CameraNotFound({Formatted(res::IDS_REASON_PERMISSION, "/dev/ttyUSB0") +
                                                    " It belongs to the group \"dialout\": add yourself with "
                                                    "\"sudo usermod -aG dialout ann\", then log out and in again.",
                                                true},
                                               2, 57600);
                     }});
    shots.push_back({"camera-not-found-in-use", [] {
                         return CameraNotFound({Formatted(res::IDS_REASON_IN_USE, "/dev/ttyUSB0"), true}, 0, 115200);
                     }});
}

void AddProgressShots(std::vector<Shot>& shots)
{
    shots.push_back({"progress-mid-upload", [] {
                         QtProgressView view;
                         view.Create(nullptr, [] {});
                         view.SetCaption(res::LoadString(res::IDS_UPLOAD_TITLE));
                         char message[256];
                         std::snprintf(message, sizeof message, res::LoadString(res::IDS_UPLOADING).c_str(),
                                       "Panorama Assistant", 2, 3);
                         view.SetMessage(message);
                         view.SetBarRange(0, 100);
                         view.SetBarPos(45);
                         view.SetStats({18432, 40960, 115200, 1700});
                         return WindowPicture(*view.Window());
                     }});
}

void AddMessageBoxShots(std::vector<Shot>& shots)
{
    using namespace ui;
    shots.push_back({"message-exclamation-ok",
                     [] { return Box(res::LoadString(res::IDS_BATTERY_LOW), MB_OK | MB_ICONEXCLAMATION); }});
    shots.push_back({"message-hand-okcancel", [] {
                         return Box(res::LoadString(res::IDS_UPLOAD_INCOMPLETE) + "\n\n" +
                                        res::LoadString(res::IDS_CONTINUE_REMAINING),
                                    MB_OKCANCEL | MB_ICONHAND);
                     }});
    shots.push_back({"message-question-yesno-default2", [] {
                         return Box(res::LoadString(res::IDS_CONFIRM_ERASE),
                                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
                     }});
    shots.push_back({"message-question-yesnocancel",
                     [] { return Box(res::LoadString(res::IDS_OLDER_VERSION), MB_YESNOCANCEL | MB_ICONQUESTION); }});
    shots.push_back({"message-information-ok", [] {
                         return Box(Formatted(res::IDS_ALREADY_IN_CAMERA, "Panorama Assistant"),
                                    MB_OK | MB_ICONINFORMATION);
                     }});
    shots.push_back({"message-plain-ok", [] { return Box(res::LoadString(res::IDS_ALREADY_RUNNING), MB_OK); }});
}

void AddDrawnControlShots(std::vector<Shot>& shots)
{
    shots.push_back({"drawn-controls", [] {
                         // The UPLOAD button's four looks side by side (normal,
                         // pressed, focused, disabled), then the yellow panel.
                         CBitmapPushButton button;
                         button.LoadBitmap(QStringLiteral("&UPLOADU"));
                         button.SizeToContent(false);
                         const QSize size = button.size();
                         QImage picture(4 * (size.width() + 8) + 8, size.height() + 80, QImage::Format_RGB32);
                         picture.fill(button.palette().color(QPalette::Window));
                         QPainter p(&picture);
                         const bool looks[4][3] = {
                             {false, false, false}, {true, false, true}, {false, false, true}, {false, true, false}};
                         for (int i = 0; i < 4; ++i) {
                             p.save();
                             p.translate(8 + i * (size.width() + 8), 8);
                             button.Draw(p, QRect(QPoint(0, 0), size), looks[i][0], looks[i][1], looks[i][2]);
                             p.restore();
                         }
                         CColorStatic panel;
                         panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
                         panel.setWordWrap(true);
                         panel.setText(QString::fromStdString(res::LoadString(res::IDS_INFO_TEXT) +
                                                              res::LoadString(res::IDS_INFO_TEXT_BROWSE)));
                         panel.SetColors(FromColorRef(0x0080FFFF), Qt::black, true);
                         panel.resize(picture.width() - 16, 56);
                         p.drawImage(8, size.height() + 16, panel.grab().toImage());
                         return picture;
                     }});
}

void AddTemplateShots(std::vector<Shot>& shots)
{
    // Each template as the builder makes it, before any window fills it in.
    for (const res::DialogTemplate& t : res::AllDialogTemplates()) {
        shots.push_back({"template-" + std::to_string(t.id), [id = t.id] {
                             CTemplateDialog dialog(id);
                             if (auto* upload = dialog.Item<CBitmapPushButton>(1008))
                                 upload->AutoLoad(1008, &dialog, true);
                             return WindowPicture(dialog);
                         }});
    }
}

void AddArtworkShots(std::vector<Shot>& shots)
{
    shots.push_back({"artwork", [] {
                         // The program icon at 4x and the UPLOAD bitmap at 3x.
                         const QImage icon = ProgramIcon().pixmap(32, 32).toImage();
                         const QImage bitmap = LoadBitmapResource("&UPLOADU");
                         QImage picture(128 + 16 + 333 + 24, 240, QImage::Format_RGB32);
                         picture.fill(Qt::white);
                         QPainter p(&picture);
                         p.drawImage(QRect(8, 8, 128, 128), icon);
                         p.drawImage(QRect(8 + 128 + 16, 8, 333, 210), bitmap);
                         p.drawPixmap(8, 150, ProgramIcon().pixmap(48, 48));
                         p.drawPixmap(64, 150, ProgramIcon().pixmap(16, 16));
                         return picture;
                     }});
}

} // namespace oskel::qt::shots
