#pragma once

#include "TemplateDialog.h"
#include "ui/CameraNotFoundView.h"

class QLabel;

namespace oskel::qt {

// The text with its hyphenated names ("oskel-uploader", "ttyUSB-0") kept
// whole where the text wraps: a line breaks at a space, never at the hyphen
// inside a name.
QString KeepHyphenatedNamesWhole(const QString& text);

// The camera-not-found window (template 103) over the core's dialog logic:
// the port and speed lists show the core's list models and hand the user's
// choices back into them. When the reason the last attempt failed is known
// (the same sentence the command line prints, a silent camera included), one
// more line below the template's controls says so; the window grows to hold
// it and nothing of the template moves.
class CCameraNotFoundWindow : public CTemplateDialog {
    Q_OBJECT
public:
    static constexpr int IDC_REASON = 1020; // the extra line

    CCameraNotFoundWindow(ui::ListModel& ports, ui::ListModel& speeds, const ui::CameraNotFoundDetails& details,
                          QWidget* parent = nullptr);

    // The extra line, or null when the window has none.
    QLabel* ReasonLine() const { return m_reason; }

protected:
    void showEvent(QShowEvent* event) override;

    void OnUnitsChanged() override { PlaceReasonLine(); }

private:
    void AddReasonLine(const std::string& reason);
    // Below the template's controls, as wide as they are.
    void PlaceReasonLine();

    QLabel* m_reason = nullptr;
};

// The view the core's CDlgCameraNotFound runs: the window above, modal over
// the active window.
class QtCameraNotFoundView final : public ui::ICameraNotFoundView {
public:
    int DoModal(ui::ListModel& ports, ui::ListModel& speeds, const ui::CameraNotFoundDetails& details) override;
};

} // namespace oskel::qt
