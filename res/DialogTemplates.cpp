#include "res/DialogTemplates.h"

#include <algorithm>

namespace oskel::res {
namespace {

constexpr std::string_view kFont = "MS Sans Serif";
constexpr int kPoints = 8;

constexpr uint32_t kShown = WS_VISIBLE;
constexpr uint32_t kTab = WS_VISIBLE | WS_TABSTOP;
constexpr uint32_t kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

using K = ControlKind;

// Sorted by id.
const std::vector<DialogTemplate> kTemplates = {
    {IDD_ABOUT, "About OSKEL Program Uploader", 0, 0, 234, 95, kModal, 0, kFont, kPoints, "",
     {
         {IDC_STATIC, K::Static, "#128", 8, 12, 21, 20, kShown | SS_ICON},
         {IDC_STATIC, K::Static, "OSKEL Program Uploader", 42, 10, 135, 9, kShown | SS_NOPREFIX},
         {1015, K::Static, "V2.00E", 42, 20, 135, 9, kShown | SS_NOPREFIX},
         {1014, K::Static, "Linux edition", 42, 30, 177, 9, kShown | SS_NOPREFIX},
         {1, K::Button, "OK", 179, 7, 48, 14, kTab | BS_DEFPUSHBUTTON | WS_GROUP},
         {IDC_STATIC, K::Static, "", 42, 42, 185, 1, kShown | SS_BLACKRECT},
         {1012, K::Static, "", 42, 50, 177, 9, kShown | SS_NOPREFIX},
         {1013, K::Static, "Getting camera information...", 42, 60, 177, 29, kShown},
     }},
    {IDD_UPLOAD, "OSKEL Program Uploader", 0, 0, 321, 190, WS_VISIBLE | kModal, WS_EX_CONTROLPARENT, kFont, kPoints,
     "OskelUploaderDialogClass",
     {
         {1001, K::Static, "Static", 4, 4, 313, 44, kShown | SS_SUNKEN | SS_NOPREFIX},
         {IDC_STATIC, K::Button, "Folder", 4, 49, 313, 27, kShown | BS_GROUPBOX},
         {1000, K::Static, "C:\\Digital Camera\\Programs", 12, 60, 245, 8,
          kShown | SS_LEFTNOWORDWRAP | SS_NOPREFIX},
         {1006, K::Button, "&Browse...", 263, 57, 50, 14, kTab},
         {1002, K::Button, "Applications in &Folder", 4, 77, 115, 108, kShown | BS_GROUPBOX},
         {1004, K::ListBox, "", 11, 89, 102, 93,
          kTab | LBS_NOTIFY | LBS_SORT | LBS_EXTENDEDSEL | WS_VSCROLL | WS_HSCROLL | WS_BORDER},
         {1008, K::Button, "&UPLOAD", 123, 101, 75, 50, kTab | BS_OWNERDRAW},
         {1003, K::Button, "Applications in C&amera", 202, 77, 115, 108, kShown | BS_GROUPBOX},
         {1005, K::ListBox, "", 209, 88, 102, 77,
          kTab | LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL | WS_HSCROLL | WS_BORDER},
         {1007, K::Button, "&Remove", 214, 166, 90, 14, kTab},
         {1009, K::Button, "&Close", 136, 172, 50, 14, kTab},
     }},
    {IDD_CAMERA_NOT_FOUND, "Error: Camera Not Found!", 0, 0, 196, 133, kModal, 0, kFont, kPoints, "",
     {
         {IDC_STATIC, K::Static, "An error occurred trying to connect to the camera!", 7, 7, 182, 18, kShown},
         {IDC_STATIC, K::Static,
          "Please check the cable connections and be sure the camera is turned on.  Select the communications "
          "port and adjust the speed settings if necessary.",
          7, 28, 182, 35, kShown},
         {IDC_STATIC, K::Static, "Port:", 7, 71, 73, 8, kShown | SS_RIGHT},
         {1010, K::ComboBox, "", 84, 68, 69, 47, kTab | CBS_DROPDOWNLIST | WS_VSCROLL},
         {IDC_STATIC, K::Static, "Speed:", 7, 86, 73, 8, kShown | SS_RIGHT},
         {1011, K::ComboBox, "", 84, 85, 69, 47, kTab | CBS_DROPDOWNLIST | WS_VSCROLL},
         {1, K::Button, "OK", 42, 112, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {2, K::Button, "Cancel", 104, 112, 50, 14, kTab},
     }},
    {IDD_PROGRESS, "Progress Dialog", 0, 0, 186, 87, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 0, kFont,
     kPoints, "",
     {
         {3632, K::Static, "Message", 7, 7, 172, 31, kShown},
         {3631, K::ProgressBar, "", 7, 45, 172, 14, kShown | WS_BORDER},
         {2, K::Button, "Cancel", 72, 66, 50, 14, kTab | BS_DEFPUSHBUTTON},
     }},
    {IDD_INPUT_BOX, "Input Box", 40, 40, 215, 46, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 0,
     kFont, kPoints, "",
     {
         {5321, K::Static, "Enter:", 6, 6, 150, 18, kShown},
         {5322, K::Edit, "", 6, 24, 148, 12, kTab | ES_AUTOHSCROLL | WS_BORDER},
         {1, K::Button, "OK", 159, 6, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {2, K::Button, "Cancel", 159, 22, 50, 14, kTab},
     }},
};

} // namespace

const DialogControl* DialogTemplate::FindControl(int controlId) const
{
    if (controlId == IDC_STATIC)
        return nullptr;
    for (const auto& control : controls) {
        if (control.id == controlId)
            return &control;
    }
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(unsigned id)
{
    const auto it = std::lower_bound(kTemplates.begin(), kTemplates.end(), id,
                                     [](const DialogTemplate& t, unsigned wanted) { return t.id < wanted; });
    return it != kTemplates.end() && it->id == id ? &*it : nullptr;
}

const std::vector<DialogTemplate>& AllDialogTemplates()
{
    return kTemplates;
}

} // namespace oskel::res
