// Remove: the verified erase of the camera list's selection, bottom-up, with
// the hosts of emptied applications and the leftovers of an emptied list.
#include "transfer/ProgramTransfer.h"

#include "camera/CameraHolder.h"
#include "programs/ProgramCatalog.h"
#include "programs/ProgramHeader.h"
#include "res/StringIds.h"
#include "transfer/ResourceText.h"
#include "ui/MessageBox.h"
#include "ui/WaitCursor.h"

namespace oskel {

namespace {

// 1503 for `text`; true when the user goes on (OK).
bool ReportEraseFailure(const std::string& text, bool more)
{
    const unsigned style = ui::MB_ICONEXCLAMATION | (more ? ui::MB_OKCANCEL : ui::MB_OK);
    return ui::AfxMessageBox(FormatResource(res::IDS_ERASE_FAILED, text.c_str()), style, res::IDS_ERASE_FAILED) ==
           ui::IDOK;
}

} // namespace

void CProgramTransfer::RemoveSelected()
{
    if (ui::AfxMessageBox(res::IDS_CONFIRM_ERASE, ui::MB_ICONQUESTION | ui::MB_YESNO | ui::MB_DEFBUTTON2) != ui::IDYES)
        return;
    CameraLease lease(m_holder);
    if (!lease)
        return;
    if (!lease.get()->IsBatteryOk() &&
        ui::AfxMessageBox(res::IDS_BATTERY_LOW, ui::MB_ICONEXCLAMATION | ui::MB_OKCANCEL) != ui::IDOK)
        return;
    ui::CWaitCursor wait;

    // A list read without the camera's count showed nothing, so nothing was
    // chosen from it: read the camera again for the user and erase nothing.
    if (m_catalog.cameraCount < 0) {
        ReadCameraAgain();
        EndRemove();
        return;
    }

    const bool unreadRecords = !m_catalog.UnreadSlots().empty();
    const std::vector<int> selected = m_cameraList.GetSelItems();
    for (size_t k = selected.size(); k-- > 0;) {
        const int index = selected[k];
        const bool more = k > 0;
        const std::string text = m_cameraList.GetText(index);
        const int slot = ProgramCatalog::CameraSlotAt(m_cameraList, index);
        const ProgramInfoRecord* record = m_catalog.RecordAt(slot);

        if (record == nullptr || !EraseAt(slot)) {
            if (!ReportEraseFailure(text, more))
                break;
            continue;
        }
        const int kind = record->Kind();
        const int id = record->AppId();
        m_catalog.ForgetCameraSlot(slot);

        if (kind != kKindAttachment || static_cast<size_t>(id) >= m_catalog.appIds.size() ||
            m_catalog.appIds[static_cast<size_t>(id)].attachmentCount != 0)
            continue;
        const int hostSlot = m_catalog.appIds[static_cast<size_t>(id)].cameraHostSlot;
        // An unread slot may be another attachment of this host: keep it.
        if (hostSlot > 0 && unreadRecords)
            continue;
        if (hostSlot > 0 && EraseAt(hostSlot)) {
            m_catalog.ForgetCameraSlot(hostSlot);
        } else if (!ReportEraseFailure(text, more)) {
            break;
        }
    }

    // The leftovers of an emptied list: hosts and programs of other kinds,
    // but never a slot whose record could not be read, nor, while one is
    // unread, a host (the unread one may be an attachment that needs it).
    if (m_cameraList.GetCount() == 0) {
        for (int slot = m_catalog.cameraCount; slot >= 1; --slot) {
            const ProgramInfoRecord* record = m_catalog.RecordAt(slot);
            const bool spared = m_catalog.IsUnreadRecord(slot) || (unreadRecords && record->Kind() == kKindHost);
            if (!spared && EraseAt(slot))
                m_catalog.ForgetCameraSlot(slot);
        }
    }
    EndRemove();
}

void CProgramTransfer::EndRemove()
{
    ProgramCatalog::FitListWidth(&m_cameraList);
    if (m_hooks.enableRemoveByCameraSelection)
        m_hooks.enableRemoveByCameraSelection();
    else
        m_catalog.EnableRemoveByCameraSelection();
}

} // namespace oskel
