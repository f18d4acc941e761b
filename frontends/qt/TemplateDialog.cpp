#include "TemplateDialog.h"

#include "AccessibleNames.h"
#include "FrameExtents.h"
#include "BitmapPushButton.h"
#include "GroupBox.h"
#include "ListBox.h"
#include "Resources.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <charconv>

namespace oskel::qt {
namespace {

using res::ControlKind;
using res::DialogControl;

const char* const kIdProperty = "oskelControlId";

// A static's text without mnemonic markers: "&&" shows one '&', a single
// '&' is dropped.
QString WithoutPrefix(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// The icon an icon static names: "#128" is icon 128; 0 for anything else.
unsigned IconId(std::string_view text)
{
    unsigned id = 0;
    if (text.size() < 2 || text[0] != '#')
        return 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), id);
    return error == std::errc() && end == text.data() + text.size() ? id : 0;
}

QWidget* MakeStatic(const DialogControl& c, QWidget* parent)
{
    const uint32_t type = c.style & res::SS_TYPEMASK;
    if (type == res::SS_BLACKRECT) {
        auto* rect = new QFrame(parent);
        QPalette black = rect->palette();
        black.setColor(QPalette::Window, Qt::black);
        rect->setPalette(black);
        rect->setAutoFillBackground(true);
        return rect;
    }
    auto* label = new QLabel(parent);
    if (type == res::SS_ICON) {
        label->setPixmap(LoadIconResource(IconId(c.text)).pixmap(32, 32));
        return label;
    }
    return label;
}

QWidget* MakeButton(const DialogControl& c, QWidget* parent)
{
    switch (c.style & res::BS_TYPEMASK) {
    case res::BS_GROUPBOX:
        return new CGroupBox(parent);
    case res::BS_AUTOCHECKBOX:
        return new QCheckBox(parent);
    case res::BS_OWNERDRAW:
        return new CBitmapPushButton(parent);
    default: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        button->setDefault((c.style & res::BS_TYPEMASK) == res::BS_DEFPUSHBUTTON);
        return button;
    }
    }
}

QWidget* MakeStandard(const DialogControl& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Static:
        return MakeStatic(c, parent);
    case ControlKind::Button:
        return MakeButton(c, parent);
    case ControlKind::ListBox:
        return new CListBox(parent);
    case ControlKind::ComboBox:
        return new CDropDownList(parent);
    case ControlKind::Edit:
        return new QLineEdit(parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return new QWidget(parent);
}

// Text, alignment and frame for the widget kinds the builder knows.
void ApplyText(QWidget* w, const DialogControl& c)
{
    const QString text = ToQt(c.text);
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && label->pixmap().isNull()) {
        label->setTextFormat(Qt::PlainText);
        label->setText((c.style & res::SS_NOPREFIX) != 0 ? text : WithoutPrefix(text));
        const uint32_t type = c.style & res::SS_TYPEMASK;
        Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
        if (type == res::SS_RIGHT)
            align = Qt::AlignTop | Qt::AlignRight;
        else if (type == res::SS_CENTER)
            align = Qt::AlignTop | Qt::AlignHCenter;
        label->setAlignment(align);
        label->setWordWrap(type != res::SS_LEFTNOWORDWRAP);
        if ((c.style & res::SS_SUNKEN) != 0)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
        edit->setFrame((c.style & res::WS_BORDER) != 0);
    } else if (auto* list = qobject_cast<CListBox*>(w)) {
        list->setSelectionMode((c.style & res::LBS_EXTENDEDSEL) != 0 ? QAbstractItemView::ExtendedSelection
                                                                      : QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy((c.style & res::WS_HSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                             : Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy((c.style & res::WS_VSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                           : Qt::ScrollBarAlwaysOff);
        if ((c.style & res::WS_BORDER) == 0)
            list->setFrameStyle(QFrame::NoFrame);
    }
}

} // namespace

QRect ControlPlacement(QWidget* w, const DialogControl& c, const DialogUnits& units)
{
    QRect r = units.Map(c.x, c.y, c.cx, c.cy);
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->pixmap().isNull())
        r.setSize(label->pixmap().deviceIndependentSize().toSize());
    else if (qobject_cast<QComboBox*>(w) != nullptr)
        r.setHeight(w->sizeHint().height());
    return r;
}

int ControlId(const QWidget* widget)
{
    if (widget == nullptr)
        return res::IDC_STATIC;
    const QVariant id = widget->property(kIdProperty);
    return id.isValid() ? id.toInt() : res::IDC_STATIC;
}

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    return text.toStdString();
}

BuiltControls BuildControls(QWidget& host, const res::DialogTemplate& dialogTemplate, const DialogUnits& units,
                            const ControlFactory& factory)
{
    BuiltControls built;
    std::vector<QWidget*> inOrder;
    for (const DialogControl& c : dialogTemplate.controls) {
        QWidget* w = factory ? factory(c, &host) : nullptr;
        if (w == nullptr)
            w = MakeStandard(c, &host);
        w->setParent(&host);
        w->setProperty(kIdProperty, c.id);
        if (c.id != res::IDC_STATIC) {
            w->setObjectName(QStringLiteral("id%1").arg(c.id));
            built.byId[c.id] = w;
        }
        ApplyText(w, c);
        w->setGeometry(ControlPlacement(w, c, units));
        if ((c.style & res::WS_TABSTOP) == 0 && w->focusPolicy() != Qt::NoFocus)
            w->setFocusPolicy(Qt::ClickFocus);
        w->setEnabled((c.style & res::WS_DISABLED) == 0);
        w->setVisible((c.style & res::WS_VISIBLE) != 0);
        inOrder.push_back(w);
    }
    NameControlsForScreenReaders(inOrder);
    built.inOrder = std::move(inOrder);
    return built;
}

namespace {

const res::DialogTemplate& TemplateOrEmpty(unsigned id)
{
    static const res::DialogTemplate kEmpty{0, "", 0, 0, 0, 0, 0, 0, "MS Sans Serif", 8, "", {}};
    const res::DialogTemplate* found = res::FindDialogTemplate(id);
    return found != nullptr ? *found : kEmpty;
}

} // namespace

CTemplateDialog::CTemplateDialog(unsigned templateId, QWidget* parent, const ControlFactory& factory)
    : CTemplateDialog(TemplateOrEmpty(templateId), parent, factory)
{
}

CTemplateDialog::CTemplateDialog(const res::DialogTemplate& dialogTemplate, QWidget* parent,
                                 const ControlFactory& factory)
    : QDialog(parent), m_template(dialogTemplate), m_units(DialogFont(m_template))
{
    const res::DialogTemplate& t = m_template;
    setFont(DialogFont(t));
    setWindowTitle(ToQt(t.caption));
    setWindowIcon(ProgramIcon());
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((t.style & res::WS_SYSMENU) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if ((t.style & res::WS_MINIMIZEBOX) != 0 && (t.style & res::WS_POPUP) != 0 && (t.style & res::WS_CAPTION) != 0 &&
        (t.style & res::DS_MODALFRAME) == 0)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setFixedSize(m_units.MapX(t.cx), m_units.MapY(t.cy));

    m_controls = BuildControls(*this, t, m_units, factory);
    for (const auto& [id, widget] : m_controls.byId) {
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const int commandId = id;
            connect(button, &QPushButton::clicked, this, [this, commandId] { OnCommand(commandId); });
        }
    }
}

void CTemplateDialog::ApplyFont(const QFont& font)
{
    m_units = DialogUnits(font);
    setFont(font);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setFixedSize(m_units.MapX(m_template.cx), m_units.MapY(m_template.cy));
    for (size_t i = 0; i < m_controls.inOrder.size() && i < m_template.controls.size(); ++i) {
        QWidget* w = m_controls.inOrder[i];
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        w->setGeometry(ControlPlacement(w, m_template.controls[i], m_units));
    }
    OnUnitsChanged();
}

void CTemplateDialog::FitToScreen()
{
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn == nullptr)
        return;
    const QMargins frame = FrameExtents(*this);
    const QSize room = shownOn->availableGeometry().size().shrunkBy(frame);
    // The smallest font still drawn legibly; a screen that cannot show the
    // window even so shows its top-left part.
    constexpr double kSmallestPoints = 4.0;
    for (int tries = 0; tries < 8 && (width() > room.width() || height() > room.height()); ++tries) {
        const double ratio = std::min(static_cast<double>(room.width()) / width(),
                                      static_cast<double>(room.height()) / height());
        QFont smaller = font();
        const double points = std::max(kSmallestPoints, smaller.pointSizeF() * std::min(ratio, 0.97));
        if (points >= smaller.pointSizeF())
            break;
        smaller.setPointSizeF(points);
        ApplyFont(smaller);
    }
}

void CTemplateDialog::showEvent(QShowEvent* event)
{
    FitToScreen();
    QDialog::showEvent(event);
}

QWidget* CTemplateDialog::GetDlgItem(int id) const
{
    const auto it = m_controls.byId.find(id);
    return it != m_controls.byId.end() ? it->second : nullptr;
}

void CTemplateDialog::SetDlgItemText(int id, const std::string& text)
{
    QWidget* w = GetDlgItem(id);
    const QString shown = ToQt(text);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(shown);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(shown);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(shown);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(shown);
}

std::string CTemplateDialog::GetDlgItemText(int id) const
{
    QWidget* w = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return FromQt(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return FromQt(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return FromQt(group->title());
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return FromQt(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return FromQt(combo->currentText());
    return {};
}

void CTemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused != nullptr && qobject_cast<CBitmapPushButton*>(focused) == nullptr && focused->isEnabled()) {
        focused->click();
        return;
    }
    for (const auto& [id, widget] : m_controls.byId) {
        auto* button = qobject_cast<QPushButton*>(widget);
        if (button != nullptr && button->isDefault() && button->isVisible()) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    OnCommand(ui::IDOK);
}

void CTemplateDialog::OnCommand(int id)
{
    if (id == ui::IDOK)
        OnOK();
    else if (id == ui::IDCANCEL)
        OnCancel();
}

void CTemplateDialog::OnOK()
{
    done(ui::IDOK);
}

void CTemplateDialog::OnCancel()
{
    done(ui::IDCANCEL);
}

} // namespace oskel::qt
