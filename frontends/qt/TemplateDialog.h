#pragma once

#include "DialogUnits.h"
#include "res/DialogTemplates.h"

#include <QDialog>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace oskel::qt {

// Makes the widget of one control, or returns null to let the builder make
// its standard widget. The builder then places it, gives it the template's
// text (labels, buttons, group boxes) and applies the styles it knows.
using ControlFactory = std::function<QWidget*(const res::DialogControl& control, QWidget* parent)>;

// The widgets made from a template, by control id (IDC_STATIC controls are
// made but not listed).
struct BuiltControls {
    std::map<int, QWidget*> byId;
    // Every control's widget, in template order.
    std::vector<QWidget*> inOrder;
};

// Where a control's widget goes with these units.
QRect ControlPlacement(QWidget* widget, const res::DialogControl& control, const DialogUnits& units);

// Makes host's child widgets from the template's controls, in template
// order (which is also the tab order), at their positions converted with
// units. Standard widgets per kind and style:
//   Static:      QLabel (left, centred or right-aligned; word-wrapped unless
//                SS_LEFTNOWORDWRAP; '&' shown as typed with SS_NOPREFIX,
//                otherwise "&&" shows '&' and a single '&' is dropped;
//                SS_SUNKEN a sunken panel); SS_ICON a QLabel with the icon
//                named by the text ("#128") at the icon's size; SS_BLACKRECT a
//                black QFrame.
//   Button:      QPushButton (BS_DEFPUSHBUTTON the default button),
//                CGroupBox (a QGroupBox) for BS_GROUPBOX, QCheckBox for BS_AUTOCHECKBOX,
//                CBitmapPushButton for BS_OWNERDRAW.
//   ListBox:     CListBox (extended selection with LBS_EXTENDEDSEL).
//   ComboBox:    CDropDownList, as high as one line (the template's height
//                is that of the dropped list).
//   Edit:        QLineEdit.
//   ProgressBar: QProgressBar, range 0..100, no text.
// WS_VISIBLE missing hides a control, WS_DISABLED disables it, and a control
// without WS_TABSTOP takes the focus only when clicked. Controls without text
// of their own get names for screen readers (NameControlsForScreenReaders).
BuiltControls BuildControls(QWidget& host, const res::DialogTemplate& dialogTemplate, const DialogUnits& units,
                            const ControlFactory& factory = {});

// A dialog window made from a dialog template: caption, font, fixed client
// size and controls. Buttons send their id to OnCommand; OK (1) runs OnOK
// and Cancel (2), Escape and the close box run OnCancel, which by default
// end the dialog with IDOK or IDCANCEL (the result of exec()).
// Enter works as in the classic dialog manager: it presses the focused push
// button (never an owner-drawn one), otherwise the template's default
// button, otherwise it sends IDOK; Qt's own choice of a default button is
// switched off.
class CTemplateDialog : public QDialog {
    Q_OBJECT
public:
    // An id without a template gives an empty dialog.
    explicit CTemplateDialog(unsigned templateId, QWidget* parent = nullptr, const ControlFactory& factory = {});
    // From a template of the caller's (a patched copy, say); it is copied.
    explicit CTemplateDialog(const res::DialogTemplate& dialogTemplate, QWidget* parent = nullptr,
                             const ControlFactory& factory = {});

    const res::DialogTemplate& Template() const { return m_template; }
    const DialogUnits& Units() const { return m_units; }
    QRect MapDialogRect(int x, int y, int cx, int cy) const { return m_units.Map(x, y, cx, cy); }

    // The control with this id, or null.
    QWidget* GetDlgItem(int id) const;
    template <class W>
    W* Item(int id) const
    {
        return qobject_cast<W*>(GetDlgItem(id));
    }

    // Text of a label, button, group box, line edit or combo box (UTF-8).
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;

    // Keeps every control reachable on a small screen: while the window with
    // its frame is larger than its screen's available area, the dialog's
    // font is made smaller, and with it the dialog units that place and size
    // every control, as the classic dialog manager derives them from the
    // font. A window that fits is left as it is.
    void FitToScreen();

    // Runs the dialog modally like exec(), the classic name.
    int DoModal() { return exec(); }

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // After FitToScreen changed the units and placed the template's controls
    // again: a window places what it added or resized itself.
    virtual void OnUnitsChanged() {}
    virtual void OnCommand(int id);
    virtual void OnOK();
    virtual void OnCancel();

private:
    void ApplyFont(const QFont& font);

    res::DialogTemplate m_template;
    DialogUnits m_units;
    BuiltControls m_controls;
};

// The control id a builder gave a widget (IDC_STATIC when none).
int ControlId(const QWidget* widget);

// Qt text from UTF-8 and back.
QString ToQt(const std::string& text);
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

} // namespace oskel::qt
