#include "FolderBrowserWindow.h"

#include "WindowOwner.h"
#include "Resources.h"
#include "DialogUnits.h"
#include "FrameExtents.h"
#include "TemplateDialog.h"
#include "app/BrowseCommand.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace oskel::qt {
namespace {

// Pixels added to the New Folder text's width, as the button is sized.
constexpr int kButtonTextPadding = 8;
// The tree is shown at the latest this long after the window opens, even if
// the folders around the starting one are still being read.
constexpr int kRevealTreeMs = 2000;
// The window's size in dialog units of its font.
constexpr int kWidthUnits = 216;
constexpr int kHeightUnits = 200;
// How long the window waits for the window manager to report its frame.
constexpr int kFramePolls = 40;
constexpr int kFramePollMs = 50;

// The file system's folders; one that cannot be listed shows no expand
// arrow, since nothing inside it can be shown.
class CFolderModel final : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;

    bool hasChildren(const QModelIndex& parent) const override
    {
        if (parent.isValid() && !FolderCanBeListed(FromQt(filePath(parent))))
            return false;
        return QFileSystemModel::hasChildren(parent);
    }
};

// The window's frame, as the window fits the screen with it: at a
// fractional scale the frame is known to the nearest logical pixel, and one
// more on each side keeps its real pixels on the screen.
QMargins FrameToFit(const QWidget& window)
{
    QMargins frame = FrameExtents(window);
    if (const qreal ratio = window.devicePixelRatioF(); ratio != std::floor(ratio))
        frame += QMargins(1, 1, 1, 1);
    return frame;
}

} // namespace

CFolderBrowserWindow::CFolderBrowserWindow()
    : m_pPrompt(new QLabel(this)),
      m_pTree(new QTreeView(this)),
      m_pModel(new CFolderModel(this)),
      m_pNewFolder(new QPushButton(ToQt(res::LoadString(res::IDS_NEW_FOLDER)), this)),
      m_pOK(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("Choose Folder"));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    m_pPrompt->setWordWrap(true);
    m_pPrompt->setTextFormat(Qt::PlainText);
    m_pPrompt->setBuddy(m_pTree);

    m_pModel->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    m_pModel->setReadOnly(true);
    m_pModel->setRootPath(QStringLiteral("/"));
    m_pTree->setModel(m_pModel);
    m_pTree->setHeaderHidden(true);
    for (int column = 1; column < m_pModel->columnCount(); ++column)
        m_pTree->hideColumn(column);
    m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTree->setObjectName(QStringLiteral("folderTree"));
    connect(m_pTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { OnCurrentChanged(); });
    connect(m_pModel, &QFileSystemModel::directoryLoaded, this,
            [this](const QString& folder) { OnDirectoryLoaded(folder); });
    // Folders listed above the selection push it down as they arrive and as
    // they are sorted: it is brought back into view before anything is
    // painted.
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, [this] { KeepShownFolderInView(); });
    connect(m_pModel, &QAbstractItemModel::layoutChanged, this, [this] { KeepShownFolderInView(); });

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pOK->setDefault(true);
    const int textWidth = m_pNewFolder->fontMetrics().horizontalAdvance(m_pNewFolder->text()) + kButtonTextPadding;
    m_pNewFolder->setMinimumWidth(std::max(m_pOK->sizeHint().width(), textWidth));
    m_pNewFolder->setObjectName(QStringLiteral("newFolder"));
    // Enter on the focused button acts on it, as Space does; elsewhere Enter
    // is OK's.
    m_pNewFolder->setAutoDefault(true);
    connect(m_pNewFolder, &QPushButton::clicked, this, [this] {
        if (m_pEvents != nullptr)
            m_pEvents->OnNewFolder();
    });
    connect(m_pOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pNewFolder);
    buttons->addStretch(1);
    buttons->addWidget(m_pOK);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pPrompt);
    layout->addWidget(m_pTree, 1);
    layout->addLayout(buttons);
    setTabOrder(m_pTree, m_pNewFolder);
    SizeToFont();

    // Until the starting folder is in view the tree shows nothing, rather
    // than the top of the file system.
    m_pTree->viewport()->setVisible(false);
    m_reveal.setSingleShot(true);
    m_reveal.setInterval(kRevealTreeMs);
    connect(&m_reveal, &QTimer::timeout, this, [this] { RevealTree(); });
}

void CFolderBrowserWindow::SizeToFont()
{
    // In dialog units of the window's font, so the chooser grows with a
    // larger font as the template windows do; never larger than the screen.
    const DialogUnits units(font());
    QSize size(units.MapX(kWidthUnits), units.MapY(kHeightUnits));
    if (const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(shownOn->availableGeometry().size().shrunkBy(FrameToFit(*this)));
    resize(size);
}

void CFolderBrowserWindow::RevealTree()
{
    m_reveal.stop();
    KeepShownFolderInView();
    m_pTree->viewport()->setVisible(true);
}

std::optional<std::string> CFolderBrowserWindow::Browse(ui::IOwnerWindow* owner, const std::string& title,
                                                        ui::IFolderBrowserEvents& events)
{
    if (auto* ownerWidget = dynamic_cast<QWidget*>(owner))
        setParent(ownerWidget->window(), windowFlags());
    SetPrompt(title);
    m_pEvents = &events;
    m_bInitialised = false;
    SizeToFont();
    CentreOver(*this, parentWidget());
    // Each opening starts on the tree, as a new browser would (the window
    // is used again after New Folder).
    m_pTree->setFocus();
    const int result = exec();
    std::optional<std::string> chosen;
    if (result == QDialog::Accepted && !SelectedPath().empty())
        chosen = SelectedPath();
    m_pEvents = nullptr;
    setParent(nullptr, windowFlags());
    return chosen;
}

void CFolderBrowserWindow::SetPrompt(const std::string& text)
{
    m_pPrompt->setText(ToQt(text));
    m_pTree->setAccessibleName(m_pPrompt->text());
    m_pPrompt->setVisible(!text.empty());
}

void CFolderBrowserWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_pEvents != nullptr && !m_bInitialised) {
        m_bInitialised = true;
        m_reveal.start();
        m_pEvents->OnInitialized();
    }
    m_framePolls = 0;
    KeepFrameInScreen();
}

void CFolderBrowserWindow::KeepFrameInScreen()
{
    if (!isVisible() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    if (!ReportedFrameExtents(*this)) {
        if (m_framePolls++ < kFramePolls)
            QTimer::singleShot(kFramePollMs, this, [this] { KeepFrameInScreen(); });
        return;
    }
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn == nullptr)
        return;
    const QRect area = shownOn->availableGeometry();
    if (area.contains(geometry().marginsAdded(FrameToFit(*this))))
        return;
    SizeToFont();
    const QRect frame = FrameRect(*this);
    QRect placed(QPoint(0, 0), frame.size());
    placed.moveCenter(parentWidget() != nullptr ? FrameRect(*parentWidget()).center() : area.center());
    placed.moveRight(std::min(placed.right(), area.right()));
    placed.moveBottom(std::min(placed.bottom(), area.bottom()));
    placed.moveLeft(std::max(placed.left(), area.left()));
    placed.moveTop(std::max(placed.top(), area.top()));
    MoveFrameTo(*this, placed.topLeft());
}

void CFolderBrowserWindow::SetSelection(const std::string& path)
{
    QFileInfo info(ToQt(path));
    QString folder = info.absoluteFilePath();
    while (!QFileInfo(folder).isDir() && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).absolutePath();
    const QModelIndex index = m_pModel->index(folder);
    if (!index.isValid()) {
        RevealTree();
        return;
    }
    m_strShownFolder = folder;
    m_pTree->setCurrentIndex(index);
    m_pTree->expand(index);
    m_pTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    // Shown once the folder that lists it has been read.
    if (!index.parent().isValid() || m_loaded.contains(QFileInfo(folder).absolutePath()))
        RevealTree();
}

void CFolderBrowserWindow::OnDirectoryLoaded(const QString& folder)
{
    m_loaded.insert(QDir::cleanPath(folder));
    KeepShownFolderInView();
    if (!m_pTree->viewport()->isVisible() && !m_strShownFolder.isEmpty() &&
        QFileInfo(m_strShownFolder).absolutePath() == QDir::cleanPath(folder))
        RevealTree();
}

void CFolderBrowserWindow::KeepShownFolderInView()
{
    if (m_strShownFolder.isEmpty() || !m_pTree->currentIndex().isValid())
        return;
    // The layout and the scroll range first: the view would do both later.
    m_pTree->doItemsLayout();
    m_pTree->scrollTo(m_pTree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

std::string CFolderBrowserWindow::SelectedPath() const
{
    const QModelIndex current = m_pTree->currentIndex();
    return current.isValid() ? FromQt(m_pModel->filePath(current)) : std::string();
}

void CFolderBrowserWindow::OnCurrentChanged()
{
    if (ToQt(SelectedPath()) != m_strShownFolder)
        m_strShownFolder.clear(); // the user moved on
    if (m_pEvents == nullptr)
        return;
    const std::string path = SelectedPath();
    m_pEvents->OnSelectionChanged(path.empty() ? std::nullopt : std::optional<std::string>(path));
}

void CFolderBrowserWindow::EnableNewFolder(bool enable)
{
    m_pNewFolder->setEnabled(enable);
}

void CFolderBrowserWindow::PostOK()
{
    QTimer::singleShot(0, this, [this] { accept(); });
}

void CFolderBrowserWindow::NotifyFolderCreated(const std::string& path)
{
    // The model watches the folders it lists; asking for the new one makes
    // sure it is known before the browser selects it.
    m_pModel->index(ToQt(path));
}

void CFolderBrowserWindow::Beep()
{
    QApplication::beep();
}

std::unique_ptr<ui::IFolderBrowserView> QtFolderBrowserViewFactory::CreateFolderBrowserView()
{
    return std::make_unique<CFolderBrowserWindow>();
}

} // namespace oskel::qt
