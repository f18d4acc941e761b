#include "res/StringTable.h"

#include <algorithm>

namespace oskel::res {
namespace {

using Entry = std::pair<unsigned, std::string_view>;

// Sorted by id.
const std::vector<Entry> kTable = {
    {IDS_ALREADY_RUNNING,
     "An OSKEL Quivran application is already running!  Only one application may access the camera at a time."},
    {IDS_UPLOAD_INCOMPLETE, "Upload could not be completed."},
    {IDS_FILE_UNREADABLE, "The file could not be read from the disk."},
    {IDS_ERASE_FAILED, "Program file \"%s\" (or one of its components) could not be erased."},
    {IDS_TOO_MANY_APPS, "Too many items selected.  The camera can store only %d applications."},
    {IDS_TOO_MANY_ATTACHMENTS, "Too many items selected.  The camera can store only %d attachments per application."},
    {IDS_HOST_FILE_MISSING,
     "\"%s\" cannot be uploaded because it requires a file that is missing.  Please check that the folder "
     "containing the Optional Program Files has not been damaged."},
    {IDS_UPDATE_FAILED, "The camera program could not be updated."},
    {IDS_CAMERA_MEMORY_FULL, "The camera does not have enough memory or is full."},
    {IDS_BATTERY_LOW,
     "The battery level is very low, a condition that may cause problems when transferring images from the camera."},
    {IDS_ALREADY_IN_CAMERA, "\"%s\" skipped; it is already in the camera."},
    {IDS_UP_TO_DATE, "\"%s\" skipped; an up-to-date version is already in the camera."},
    {IDS_CONTINUE_REMAINING, "Continue with remaining programs?"},
    {IDS_CONFIRM_ERASE, "Are you sure you want to erase the selected programs?"},
    {IDS_OLDER_VERSION, "The program in the camera has an older version.  Would you like to update it now?"},
    {IDS_ABOUT_MENU, "&About OSKEL Program Uploader..."},
    {IDS_AUTO, "Auto"},
    {IDS_INFO_TEXT,
     "Select the desired Applications in Folder and press 'Upload' to transfer them to the camera.  Or, select "
     "the Applications in Camera you no longer need and press 'Remove' to erase them from the camera.  "},
    {IDS_INFO_TEXT_BROWSE, "Use 'Browse...' to select a new folder containing camera applications."},
    {IDS_CHOOSE_FOLDER_PROMPT, "Choose a folder where application files may be found:"},
    {IDS_UPLOAD_TITLE, "Upload Programs"},
    {IDS_UPLOADING, "Uploading \"%s\" (%d of %d)"},
    {IDS_GETTING_CAMERA_INFO, "Getting camera information..."},
    {IDS_CAMERA_NOT_CONNECTED, "The camera is not connected."},
    {IDS_CAMERA_ID, "Camera Id: %s"},
    {IDS_CAMERA_VERSION, "Camera Version: %s"},
    {IDS_PORT_NAME, "COM%d"},
    {IDS_NEW_FOLDER, "New Folder"},
    {IDS_NEW_FOLDER_PROMPT, "Enter name for subfolder of %s:"},
    {IDS_CREATE_FOLDER_FAILED,
     "Could not create %s.  Make sure the parent folder is not read-only and that it has enough space for a new "
     "folder."},
    {IDS_FOLDER_EXISTS, "A folder by that name already exists."},
    {IDS_FOLDER_NAME_CHARS, "A folder name may not contain any of the following characters:\n\t%s"},
    {IDS_BROWSE_FAILED, "Unexpected error -- failed to create browse dialog.\nCODE: %08x"},
    {IDS_CREATE_FOLDER_DOS_NAME, "Could not create %s.  Make sure the folder name is a valid DOS name."},
    {IDS_FOLDER_NAME_TOO_LONG, "The folder name is too long, could not create it."},
    {IDS_ENTER_PROMPT, "Enter "},
    {IDS_PROMPT_COLON, ":"},
    {IDS_REASON_PERMISSION, "Permission denied: you may not open %s."},
    {IDS_REASON_PERMISSION_GROUP,
     " It belongs to the group \"%s\": add yourself with \"sudo usermod -aG %s %s\", then log out and in again."},
    {IDS_REASON_IN_USE, "%s is in use by another program."},
    {IDS_REASON_NOT_SERIAL, "%s is not a serial port."},
    {IDS_REASON_CANNOT_OPEN, "%s cannot be opened."},
    {IDS_REASON_NO_SUCH_DEVICE, "No such device: %s."},
    {IDS_REASON_NO_PORT, "No serial port was found: is the cable or USB adapter plugged in?"},
    {IDS_REASON_SILENT, "The port opened, but the camera did not answer."},
    {IDS_REASON_REFUSED, "A camera answered, but this program does not support its model."},
    {IDS_REASON_THE_PORT, "The serial port"},
    {IDS_PROGRESS_RATE, "%.1f KB/s, %d s left"},
    {IDS_HOST_FILE_UNNAMED,
     "\"%s\" cannot be uploaded because the file it requires, \"%s\", has a name longer than the camera takes "
     "(8 characters, a dot and 3 characters).  Rename it, for example to \"%s\"."},
    {IDS_REASON_IN_USE_BY, "%s is in use by %s."},
    {IDS_REASON_MODEM_MANAGER_RUNNING,
     "%s is in use by another program; ModemManager (pid %s) is running and may be probing it."},
    {IDS_REASON_MODEM_MANAGER_HINT,
     " ModemManager probes new serial adapters. To make it leave this one alone, put the line\n"
     "%s ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"
     "into /etc/udev/rules.d/99-oskel-camera.rules and plug the adapter in again, "
     "or stop it with \"sudo systemctl stop ModemManager\"."},
    {IDS_REASON_PERMISSION_WHO,
     " Only %s may open it (mode %s): a udev rule can give it to a group you are in, as the manual's page on "
     "serial ports shows."},
    {IDS_REASON_UNPLUGGED, "The serial adapter was unplugged."},
    {IDS_REASON_SPEED_LIMIT, "%s cannot run at %s bit/s; its limit is %s."},
    {IDS_UNREAD_RECORDS_UPLOAD,
     "\"%s\" was not uploaded: %d program records in the camera could not be read, and it may already be among them.  "
     "Connect the camera again and retry."},
    {IDS_REASON_MODEL_TEXT_UNREAD, "A camera answered, but its model text could not be read."},
    {IDS_FOLDER_UNREADABLE, "The folder %s cannot be read"},
    {IDS_APP_TITLE, "OSKEL Program Uploader"},
};

} // namespace

std::optional<std::string_view> FindString(unsigned id)
{
    const auto it = std::lower_bound(kTable.begin(), kTable.end(), id,
                                     [](const Entry& entry, unsigned wanted) { return entry.first < wanted; });
    if (it == kTable.end() || it->first != id)
        return std::nullopt;
    return it->second;
}

std::string LoadString(unsigned id)
{
    const auto text = FindString(id);
    return text ? std::string(*text) : std::string();
}

const std::vector<std::pair<unsigned, std::string_view>>& AllStrings()
{
    return kTable;
}

} // namespace oskel::res
