#pragma once

#include "res/DialogStyles.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The program's dialog templates as data: for each window its caption, size,
// font and style, and every control with its id, kind, text, position and
// style. Positions and sizes are in dialog units (a quarter of the font's
// average character width, an eighth of its height); the front end converts
// them with the metrics of the font it shows the dialog in.
namespace oskel::res {

enum DialogId : unsigned {
    IDD_ABOUT = 100,
    IDD_UPLOAD = 102,
    IDD_CAMERA_NOT_FOUND = 103,
    IDD_PROGRESS = 3630,
    IDD_INPUT_BOX = 5320,
};

// The program icon (also the icon of the About box) and the UPLOAD bitmap's
// resource name.
constexpr unsigned IDI_PROGRAM = 128;

// A control without an id of its own (IDC_STATIC).
constexpr int IDC_STATIC = -1;

// The kind of a control: its window class. The style bits tell the
// variants (group box, default or owner-drawn button, right-aligned text,
// icon, black rectangle, ...).
enum class ControlKind {
    Button,
    Edit,
    Static,
    ListBox,
    ComboBox,
    ProgressBar,
};

struct DialogControl {
    int id;
    ControlKind kind;
    std::string_view text; // for an icon static: "#" and the icon's id
    int x, y, cx, cy;      // dialog units, relative to the client area
    uint32_t style;        // WS_CHILD is implied; WS_VISIBLE is explicit
};

struct DialogTemplate {
    unsigned id;
    std::string_view caption;
    int x, y, cx, cy; // the client area, in dialog units
    uint32_t style;
    uint32_t exStyle;
    std::string_view fontFace;
    int pointSize;
    std::string_view windowClass; // empty for the standard dialog class
    std::vector<DialogControl> controls;

    // The control with this id, or null (IDC_STATIC never matches).
    const DialogControl* FindControl(int controlId) const;
};

// The template with this id, or null when there is none.
const DialogTemplate* FindDialogTemplate(unsigned id);

// Every template, in ascending id order.
const std::vector<DialogTemplate>& AllDialogTemplates();

} // namespace oskel::res
