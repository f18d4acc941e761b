#include "FolderBrowserWindow.h"

#include "WindowOwner.h"
#include "Resources.h"
#include "TemplateDialog.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace oskel::qt {
namespace {

// Pixels added to the New Folder text's width, as the button is sized.
constexpr int kButtonTextPadding = 8;

} // namespace

CFolderBrowserWindow::CFolderBrowserWindow()
    : m_pPrompt(new QLabel(this)),
      m_pTree(new QTreeView(this)),
      m_pModel(new QFileSystemModel(this)),
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

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pOK->setDefault(true);
    const int textWidth = m_pNewFolder->fontMetrics().horizontalAdvance(m_pNewFolder->text()) + kButtonTextPadding;
    m_pNewFolder->setMinimumWidth(std::max(m_pOK->sizeHint().width(), textWidth));
    m_pNewFolder->setObjectName(QStringLiteral("newFolder"));
    m_pNewFolder->setAutoDefault(false);
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
    resize(360, 420);
}

std::optional<std::string> CFolderBrowserWindow::Browse(ui::IOwnerWindow* owner, const std::string& title,
                                                        ui::IFolderBrowserEvents& events)
{
    if (auto* ownerWidget = dynamic_cast<QWidget*>(owner))
        setParent(ownerWidget->window(), windowFlags());
    SetPrompt(title);
    m_pEvents = &events;
    m_bInitialised = false;
    CentreOver(*this, parentWidget());
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
        m_pEvents->OnInitialized();
    }
}

void CFolderBrowserWindow::SetSelection(const std::string& path)
{
    QFileInfo info(ToQt(path));
    QString folder = info.absoluteFilePath();
    while (!QFileInfo(folder).isDir() && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).absolutePath();
    const QModelIndex index = m_pModel->index(folder);
    if (!index.isValid())
        return;
    m_strShownFolder = folder;
    m_pTree->setCurrentIndex(index);
    m_pTree->expand(index);
    m_pTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void CFolderBrowserWindow::OnDirectoryLoaded(const QString& folder)
{
    // Folders listed above the selection push it down as they arrive.
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!m_strShownFolder.isEmpty() && (m_strShownFolder == folder || m_strShownFolder.startsWith(prefix)))
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
