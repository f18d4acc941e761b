#pragma once

#include <cstdint>

// The classic window, dialog and control style bits used by the dialog
// templates (res/DialogTemplates.h). Front ends read them to build the
// windows; nothing here depends on a toolkit.
namespace oskel::res {

enum : uint32_t {
    // Window styles.
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_SYSMENU = 0x00080000,
    WS_GROUP = 0x00020000,
    WS_MINIMIZEBOX = 0x00020000,
    WS_TABSTOP = 0x00010000,

    // Extended window styles.
    WS_EX_CONTROLPARENT = 0x00010000,

    // Dialog styles.
    DS_MODALFRAME = 0x80,
    DS_SETFONT = 0x40,

    // Static controls: the low five bits are the type.
    SS_TYPEMASK = 0x1F,
    SS_LEFT = 0x0,
    SS_CENTER = 0x1,
    SS_RIGHT = 0x2,
    SS_ICON = 0x3,
    SS_BLACKRECT = 0x4,
    SS_LEFTNOWORDWRAP = 0xC,
    SS_NOPREFIX = 0x80,
    SS_SUNKEN = 0x1000,

    // Buttons: the low four bits are the type.
    BS_TYPEMASK = 0xF,
    BS_PUSHBUTTON = 0x0,
    BS_DEFPUSHBUTTON = 0x1,
    BS_AUTOCHECKBOX = 0x3,
    BS_GROUPBOX = 0x7,
    BS_OWNERDRAW = 0xB,

    // List boxes.
    LBS_NOTIFY = 0x1,
    LBS_SORT = 0x2,
    LBS_NOINTEGRALHEIGHT = 0x100,
    LBS_EXTENDEDSEL = 0x800,

    // Combo boxes.
    CBS_DROPDOWNLIST = 0x3,

    // Edit controls.
    ES_AUTOHSCROLL = 0x80,
};

} // namespace oskel::res
