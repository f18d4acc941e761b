#pragma once

// Ids of the string table (res/StringTable.cpp).
namespace oskel::res {

enum StringId : unsigned {
    IDS_ALREADY_RUNNING = 1500,
    IDS_UPLOAD_INCOMPLETE = 1501,
    IDS_FILE_UNREADABLE = 1502,
    IDS_ERASE_FAILED = 1503,
    IDS_TOO_MANY_APPS = 1504,
    IDS_TOO_MANY_ATTACHMENTS = 1505,
    IDS_HOST_FILE_MISSING = 1506,
    IDS_UPDATE_FAILED = 1507,
    IDS_CAMERA_MEMORY_FULL = 1508,
    IDS_BATTERY_LOW = 1600,
    IDS_ALREADY_IN_CAMERA = 1601,
    IDS_UP_TO_DATE = 1602,
    IDS_CONTINUE_REMAINING = 1700,
    IDS_CONFIRM_ERASE = 1701,
    IDS_OLDER_VERSION = 1702,
    IDS_ABOUT_MENU = 2000,
    IDS_AUTO = 2001,
    IDS_INFO_TEXT = 2003,
    IDS_INFO_TEXT_BROWSE = 2004,
    IDS_CHOOSE_FOLDER_PROMPT = 2005,
    IDS_UPLOAD_TITLE = 2006,
    IDS_UPLOADING = 2007,
    IDS_GETTING_CAMERA_INFO = 2011,
    IDS_CAMERA_NOT_CONNECTED = 2012,
    IDS_CAMERA_ID = 2013,
    IDS_CAMERA_VERSION = 2014,
    IDS_PORT_NAME = 3997,
    IDS_NEW_FOLDER = 4722,
    IDS_NEW_FOLDER_PROMPT = 4723,
    IDS_CREATE_FOLDER_FAILED = 4724,
    IDS_FOLDER_EXISTS = 4725,
    IDS_FOLDER_NAME_CHARS = 4726,
    IDS_BROWSE_FAILED = 4727,
    IDS_CREATE_FOLDER_DOS_NAME = 4728,
    IDS_FOLDER_NAME_TOO_LONG = 4729,
    IDS_ENTER_PROMPT = 5326,
    IDS_PROMPT_COLON = 5327,

    // Texts the Linux port adds: why a connection failed.
    IDS_REASON_PERMISSION = 9100,
    IDS_REASON_PERMISSION_GROUP = 9101,
    IDS_REASON_IN_USE = 9102,
    IDS_REASON_NOT_SERIAL = 9103,
    IDS_REASON_CANNOT_OPEN = 9104,
    IDS_REASON_NO_SUCH_DEVICE = 9105,
    IDS_REASON_NO_PORT = 9106,
    IDS_REASON_SILENT = 9107,
    IDS_REASON_REFUSED = 9108,
    IDS_REASON_THE_PORT = 9109,

    // The progress window's throughput and time left.
    IDS_PROGRESS_RATE = 9110,

    // An attachment's host file is in the folder under a name the camera
    // cannot take.
    IDS_HOST_FILE_UNNAMED = 9111,
    // Who holds a busy port.
    IDS_REASON_IN_USE_BY = 9130,
    IDS_REASON_MODEM_MANAGER_RUNNING = 9131,
    IDS_REASON_MODEM_MANAGER_HINT = 9132,
    // Who may use a device whose group has no rights to it.
    IDS_REASON_PERMISSION_WHO = 9133,
    // What a real adapter tells: gone, or slower than asked.
    IDS_REASON_UNPLUGGED = 9134,
    IDS_REASON_SPEED_LIMIT = 9135,
    // An upload that might store a second copy of a program whose directory
    // record could not be read.
    IDS_UNREAD_RECORDS_UPLOAD = 9140,
    // A camera whose model text could not be read.
    IDS_REASON_MODEL_TEXT_UNREAD = 9141,

    // A folder chosen with Browse that cannot be listed.
    IDS_FOLDER_UNREADABLE = 9150,

    // The program's title: the caption of its message boxes.
    IDS_APP_TITLE = 0xE000,
};

} // namespace oskel::res
