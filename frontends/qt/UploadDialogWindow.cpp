#include "UploadDialogWindow.h"

#include "BitmapPushButton.h"
#include "ColorStatic.h"
#include "FrameExtents.h"
#include "ListBox.h"

#include "app/WindowPosition.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace oskel::qt {
namespace {

constexpr int kInfoPanel = 1001;
constexpr int kCloseButton = 1009;
constexpr unsigned kAboutCommand = 0x0010;
// How long the window waits for the window manager to report its frame.
constexpr int kFramePolls = 40;
constexpr int kFramePollMs = 50;

// The main window is created from a copy of its template with the minimize
// box added and the modal frame removed.
res::DialogTemplate MainWindowTemplate()
{
    res::DialogTemplate t = *res::FindDialogTemplate(res::IDD_UPLOAD);
    t.style = (t.style | res::WS_MINIMIZEBOX) & ~static_cast<uint32_t>(res::DS_MODALFRAME);
    return t;
}

QWidget* MakeControl(const res::DialogControl& control, QWidget* parent)
{
    if (control.id == kInfoPanel)
        return new CColorStatic(parent);
    return nullptr;
}

ui::Rect FromQRect(const QRect& r)
{
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

} // namespace

CUploadDialogWindow::CUploadDialogWindow(QWidget* parent) : CTemplateDialog(MainWindowTemplate(), parent, MakeControl)
{
    // A top-level application window rather than a transient dialog.
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
}

CUploadDialogWindow::~CUploadDialogWindow()
{
    for (int id : {1004, 1005})
        if (auto* list = Item<CListBox>(id))
            list->Bind(nullptr);
}

bool CUploadDialogWindow::Create(ui::IUploadDialogEvents& events)
{
    m_pEvents = &events;
    m_bCreated = true;
    if (QWidget* close = GetDlgItem(kCloseButton))
        close->installEventFilter(this);
    for (int id : {1004, 1005}) {
        auto* list = Item<CListBox>(id);
        if (list == nullptr)
            continue;
        connect(list, &CListBox::UserSelectionChanged, this, [this, id] { m_pEvents->OnCommand(id, ui::kSelChange); });
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, id] { m_pEvents->OnCommand(id, ui::kDoubleClick); });
    }
    // The window's final size before the dialog asks where it would open:
    // the UPLOAD button's bitmap in place and the whole fitted to the
    // screen (the dialog sets the button up again, which changes nothing).
    SetUpUploadButton();
    if (!m_pEvents->OnInitDialog()) {
        m_bDestroyed = true;
        return false;
    }
    return true;
}

void CUploadDialogWindow::Show()
{
    show();
    activateWindow();
    repaint();
}

void CUploadDialogWindow::DestroyWindow()
{
    if (!Exists())
        return;
    m_pEvents->OnDestroy();
    m_bDestroyed = true;
    hide();
    for (int id : {1004, 1005})
        if (auto* list = Item<CListBox>(id))
            list->Bind(nullptr);
    emit WindowDestroyed();
}

void CUploadDialogWindow::PostClose()
{
    // The dialog checks again, when the request runs, whether it may close
    // now or must wait for a command to end. A window already gone has
    // nothing left to close.
    QTimer::singleShot(0, this, [this] {
        if (Exists())
            m_pEvents->OnClose();
    });
}

void CUploadDialogWindow::SetBusy(bool busy)
{
    if (busy == m_bBusy)
        return;
    if (busy)
        m_pFocusBeforeBusy = focusWidget();
    m_bBusy = busy;
    ApplyEnabled();
    // Disabling took the focus away; it goes back where the user left it.
    if (!busy && isEnabled() && m_pFocusBeforeBusy != nullptr && m_pFocusBeforeBusy->isEnabled())
        m_pFocusBeforeBusy->setFocus(Qt::OtherFocusReason);
}

void CUploadDialogWindow::ApplyEnabled()
{
    // A disabled window is drawn disabled, and Qt drops the clicks and keys
    // that reach it, as well as its controls' mnemonics.
    setEnabled(m_bOwnerEnabled && !m_bBusy);
}

ui::Rect CUploadDialogWindow::GetWindowRect() const
{
    if (m_bPlaced || isVisible())
        return FromQRect(FrameRect(*this));
    // Not placed yet: where the window would open, its frame centred on the
    // screen.
    QRect r(QPoint(0, 0), FrameRect(*this).size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        r.moveCenter(screen->availableGeometry().center());
    m_centred = FromQRect(r);
    return *m_centred;
}

void CUploadDialogWindow::SetWindowRect(const ui::Rect& rect)
{
    // The window has the fixed size of its template; only its place changes.
    // The place it offered before any was saved (clamped into the screen,
    // as the dialog does) is kept centred once the real frame is known.
    std::optional<ui::Rect> offered = m_centred;
    if (offered)
        ClampRectToScreen(&*offered, GetScreenRect());
    m_bCentre = offered && rect.left == offered->left && rect.top == offered->top;
    m_requested = rect;
    MoveFrameTo(*this, QPoint(rect.left, rect.top));
    m_bPlaced = true;
    m_bFrameKept = false;
    KeepFrameInScreen();
}

void CUploadDialogWindow::KeepFrameInScreen()
{
    // Before the window manager has framed the window its frame is unknown:
    // once it reports it, the whole frame is kept in the screen as the
    // window was placed (or centred on it), once.
    if (!m_bPlaced || m_bFrameKept || !isVisible())
        return;
    if (!ReportedFrameExtents(*this)) {
        // On X11 the window manager reports the frame as it takes the
        // window; elsewhere Qt's own idea of the frame is all there is.
        if (QGuiApplication::platformName() == QLatin1String("xcb") && m_framePolls < kFramePolls) {
            ++m_framePolls;
            QTimer::singleShot(kFramePollMs, this, [this] { KeepFrameInScreen(); });
            return;
        }
        if (frameGeometry() == geometry())
            return;
    }
    m_bFrameKept = true;
    // The real frame may be larger than the one the window was fitted for.
    FitToScreen();
    const QRect frame = FrameRect(*this);
    const ui::Rect screen = GetScreenRect();
    // The real frame at the place asked for; an edge that was asked to lie
    // on the screen's right or bottom edge (a place clamped into the screen
    // with the frame the window expected) lies on it with the real frame.
    ui::Rect kept = FromQRect(frame);
    auto moveTo = [&kept](int left, int top) {
        kept = {left, top, left + kept.Width(), top + kept.Height()};
    };
    moveTo(m_requested.left, m_requested.top);
    if (m_requested.right >= screen.right)
        moveTo(screen.right - kept.Width(), kept.top);
    if (m_requested.bottom >= screen.bottom)
        moveTo(kept.left, screen.bottom - kept.Height());
    if (m_bCentre)
        moveTo((screen.left + screen.right - kept.Width()) / 2, (screen.top + screen.bottom - kept.Height()) / 2);
    ClampRectToScreen(&kept, screen);
    if (QPoint(kept.left, kept.top) != frame.topLeft())
        MoveFrameTo(*this, QPoint(kept.left, kept.top));
}

void CUploadDialogWindow::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    KeepFrameInScreen();
}

void CUploadDialogWindow::moveEvent(QMoveEvent* event)
{
    CTemplateDialog::moveEvent(event);
    KeepFrameInScreen();
}

ui::Rect CUploadDialogWindow::GetNormalRect(int* showState) const
{
    *showState = isMinimized() ? ui::SW_SHOWMINIMIZED : isMaximized() ? ui::SW_SHOWMAXIMIZED : ui::SW_SHOWNORMAL;
    const QRect normal = isMinimized() || isMaximized() ? normalGeometry() : geometry();
    // The normal rectangle of the window with its frame.
    return FromQRect(normal.marginsAdded(FrameExtents(*this)));
}

ui::Rect CUploadDialogWindow::GetScreenRect() const
{
    // The part of the screen that windows may use (panels left out).
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? FromQRect(screen->availableGeometry()) : ui::Rect{0, 0, 640, 480};
}

bool CUploadDialogWindow::KnowsWindowPosition() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void CUploadDialogWindow::AppendAboutItem(const std::string& text)
{
    if (m_pMenu == nullptr)
        m_pMenu = new QMenu(this);
    else
        m_pMenu->addSeparator();
    m_pMenu->addAction(ToQt(text), this, [this] { SysCommand(kAboutCommand); });
}

void CUploadDialogWindow::SetUpUploadButton()
{
    if (auto* button = Item<CBitmapPushButton>(1008))
        button->AutoLoad(1008, this, true);
    // Before the folder label is filled: the path is fitted to its width.
    FitToScreen();
}

void CUploadDialogWindow::OnUnitsChanged()
{
    // The controls stand where the template puts them: the UPLOAD button
    // takes its bitmap's size again, and its neighbours move with it.
    if (auto* button = Item<CBitmapPushButton>(1008); button != nullptr && !button->Face().isNull())
        button->SizeToContent(true);
}

void CUploadDialogWindow::SetInfoColors(uint32_t background, uint32_t text)
{
    if (auto* panel = Item<CColorStatic>(kInfoPanel))
        panel->SetColors(FromColorRef(background), FromColorRef(text), true);
}

void CUploadDialogWindow::SetItemText(int id, const std::string& text)
{
    SetDlgItemText(id, text);
}

std::string CUploadDialogWindow::GetItemText(int id) const
{
    return GetDlgItemText(id);
}

void CUploadDialogWindow::EnableItem(int id, bool enable)
{
    if (QWidget* item = GetDlgItem(id))
        item->setEnabled(enable);
}

bool CUploadDialogWindow::IsItemEnabled(int id) const
{
    const QWidget* item = GetDlgItem(id);
    return item != nullptr && item->isEnabled();
}

int CUploadDialogWindow::GetClientWidth(int id) const
{
    const QWidget* item = GetDlgItem(id);
    return item != nullptr ? item->contentsRect().width() : 0;
}

int CUploadDialogWindow::MeasureItemText(int id, std::string_view text) const
{
    const QWidget* item = GetDlgItem(id);
    return QFontMetrics(item != nullptr ? item->font() : font()).horizontalAdvance(ToQt(text));
}

void CUploadDialogWindow::BindList(int id, ui::ListModel& model)
{
    if (auto* list = Item<CListBox>(id))
        list->Bind(&model);
}

void CUploadDialogWindow::EnableWindow(bool enable)
{
    m_bOwnerEnabled = enable;
    ApplyEnabled();
}

bool CUploadDialogWindow::IsWindowEnabled() const
{
    return isEnabled();
}

void CUploadDialogWindow::OnCommand(int id)
{
    if (m_pEvents != nullptr && Exists())
        m_pEvents->OnCommand(id, ui::kClicked);
}

void CUploadDialogWindow::OnOK()
{
    if (m_pEvents != nullptr && Exists())
        m_pEvents->OnOK();
}

void CUploadDialogWindow::OnCancel()
{
    if (m_pEvents != nullptr && Exists())
        m_pEvents->OnCancel();
}

void CUploadDialogWindow::closeEvent(QCloseEvent* event)
{
    // The dialog decides: it destroys the window (and so hides it) itself,
    // at once or, during a command, when the command is over. While only a
    // dialog it owns has disabled it (an About box), the window takes no
    // close request, as a disabled window takes no input.
    event->ignore();
    if (m_pEvents != nullptr && Exists() && (m_bBusy || m_bOwnerEnabled))
        m_pEvents->OnClose();
}

bool CUploadDialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    // While a command runs the Close button is drawn disabled like every
    // control, but a click on it is a close request, kept as the close box's
    // is, rather than input to drop.
    if (m_bBusy && watched == GetDlgItem(kCloseButton) && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QRect button = static_cast<QWidget*>(watched)->rect();
        if (mouse->button() == Qt::LeftButton && button.contains(mouse->position().toPoint()))
            OnCommand(kCloseButton);
        return true;
    }
    return CTemplateDialog::eventFilter(watched, event);
}

void CUploadDialogWindow::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_pMenu != nullptr && isEnabled())
        m_pMenu->popup(event->globalPos());
    event->accept();
}

void CUploadDialogWindow::keyPressEvent(QKeyEvent* event)
{
    // F1 reaches the window from whichever control has the focus.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && m_pMenu != nullptr) {
        SysCommand(kAboutCommand);
        return;
    }
    CTemplateDialog::keyPressEvent(event);
}

void CUploadDialogWindow::SysCommand(unsigned id)
{
    if (m_pEvents != nullptr && Exists() && isEnabled())
        m_pEvents->OnSysCommand(id);
}

} // namespace oskel::qt
