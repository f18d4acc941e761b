#include "camera/DlgCameraNotFound.h"

#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/MessageBox.h"

namespace oskel {
namespace {

constexpr int kOfferedSpeeds[] = {19200, 38400, 57600, 115200};
constexpr int kFastestSpeed = 230400;

} // namespace

CDlgCameraNotFound::CDlgCameraNotFound(int automatic, bool win32s)
    : m_nPortChoice(automatic), m_nSpeedChoice(automatic), m_nAutomatic(automatic), m_bWin32s(win32s)
{
}

int CDlgCameraNotFound::DoModal()
{
    return DoModal(ui::CurrentCameraNotFoundView());
}

int CDlgCameraNotFound::DoModal(ui::ICameraNotFoundView& view)
{
    OnInitDialog();
    const int result = view.DoModal(m_ports, m_speeds, m_details);
    if (result != ui::IDCANCEL)
        DoDataExchange(true);
    return result;
}

bool CDlgCameraNotFound::OnInitDialog()
{
    const std::string automatic = res::LoadString(res::IDS_AUTO);
    m_ports.ResetContent();
    m_ports.SetItemData(m_ports.AddString(automatic), m_nAutomatic);
    int index = 0;
    for (const auto& name : m_portNames)
        m_ports.SetItemData(m_ports.AddString(name), index++);

    m_speeds.ResetContent();
    m_speeds.SetItemData(m_speeds.AddString(automatic), m_nAutomatic);
    for (int speed : kOfferedSpeeds)
        m_speeds.SetItemData(m_speeds.AddString(std::to_string(speed)), speed);
    if (!m_bWin32s)
        m_speeds.SetItemData(m_speeds.AddString(std::to_string(kFastestSpeed)), kFastestSpeed);

    DoDataExchange(false);
    return true;
}

void CDlgCameraNotFound::DoDataExchange(bool saving)
{
    if (saving) {
        Save(m_ports, &m_nPortChoice);
        Save(m_speeds, &m_nSpeedChoice);
    } else {
        Load(m_ports, m_nPortChoice);
        Load(m_speeds, m_nSpeedChoice);
    }
}

void CDlgCameraNotFound::Load(ui::ListModel& list, int value)
{
    for (int i = 0; i < list.GetCount(); ++i) {
        if (list.GetItemData(i) == value) {
            list.SetCurSel(i);
            return;
        }
    }
    list.SetCurSel(ui::ListModel::kNoSelection);
}

void CDlgCameraNotFound::Save(const ui::ListModel& list, int* value)
{
    const int selected = list.GetCurSel();
    if (selected != ui::ListModel::kNoSelection)
        *value = static_cast<int>(list.GetItemData(selected));
}

} // namespace oskel
