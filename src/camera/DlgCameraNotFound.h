#pragma once

#include "ui/CameraNotFoundView.h"
#include "ui/ListModel.h"

#include <string>
#include <vector>

namespace oskel {

// The modal dialog shown while the camera cannot be reached or has been
// refused: two lists, the port and the line speed, each with "Auto". It only
// carries two integers in and out; it never touches the camera.
class CDlgCameraNotFound {
public:
    static constexpr int IDD = 103;
    static constexpr int IDC_PORT = 1010;
    static constexpr int IDC_SPEED = 1011;

    // automatic: the item data of the two "Auto" entries. win32s leaves
    // 230400 out of the speeds.
    CDlgCameraNotFound(int automatic, bool win32s);
    virtual ~CDlgCameraNotFound() = default;

    void SetPortNames(const std::vector<std::string>& names) { m_portNames = names; }
    void SetDetails(ui::CameraNotFoundDetails details) { m_details = std::move(details); }

    // IDOK or IDCANCEL, through the front end's view.
    int DoModal();
    int DoModal(ui::ICameraNotFoundView& view);

    // Fills the lists and loads the choices into them.
    bool OnInitDialog();
    // saving: list selections -> choices; else choices -> selections.
    void DoDataExchange(bool saving);

    int m_nPortChoice;
    int m_nSpeedChoice;
    int m_nAutomatic;

    ui::ListModel& PortList() { return m_ports; }
    ui::ListModel& SpeedList() { return m_speeds; }

private:
    static void Load(ui::ListModel& list, int value);
    static void Save(const ui::ListModel& list, int* value);

    bool m_bWin32s;
    std::vector<std::string> m_portNames;
    ui::CameraNotFoundDetails m_details;
    ui::ListModel m_ports;
    ui::ListModel m_speeds;
};

} // namespace oskel
