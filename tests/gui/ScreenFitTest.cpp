// What a real screen shows: the folder chooser's tree, the progress
// window's first readings.
#include "BitmapPushButton.h"
#include "FolderBrowserWindow.h"
#include "ProgressWindow.h"
#include "support/AsOrdinaryUser.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QListWidget>
#include <QPushButton>
#include <QLabel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

namespace oskel::qt {
namespace {

TEST(ProgressWindow, RateShownOnlyAfterTheFirstSecondAndTheFirstTwoPackets)
{
    struct Row {
        ui::TransferStats stats;
        bool shown;
    };
    const Row rows[] = {
        {{128, 30000, 19200, 1500}, false},   // the first short packet alone
        {{2143, 30000, 19200, 1500}, false},  // the second not yet complete
        {{2144, 30000, 19200, 999}, false},   // not a second yet
        {{2144, 30000, 19200, 1000}, true},
        {{30000, 30000, 19200, 16000}, true},
    };
    QtProgressView view;
    view.Create(nullptr, [] {});
    for (const Row& row : rows) {
        view.SetStats(row.stats);
        EXPECT_EQ(!view.Window()->Rate()->isHidden(), row.shown)
            << row.stats.bytesSent << " bytes after " << row.stats.elapsedMs << " ms";
        EXPECT_EQ(view.Window()->Rate()->text().isEmpty(), !row.shown);
    }
}

TEST(FolderBrowserWindow, NoExpandArrowOnAFolderThatCannotBeListed)
{
    test::TempDir dir;
    const std::filesystem::path open = dir / "open", locked = dir / "locked";
    std::filesystem::create_directories(open / "inside");
    std::filesystem::create_directories(locked / "inside");
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
    std::filesystem::permissions(open, std::filesystem::perms::all);
    std::filesystem::permissions(locked, std::filesystem::perms::none);

    CFolderBrowserWindow browser;
    auto* model = qobject_cast<QFileSystemModel*>(browser.Tree()->model());
    ASSERT_NE(model, nullptr);
    {
        test::AsOrdinaryUser nobody;
        EXPECT_TRUE(model->hasChildren(model->index(QString::fromStdString(open.string()))));
        EXPECT_FALSE(model->hasChildren(model->index(QString::fromStdString(locked.string()))));
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

// A bitmap narrower than the button's template width (a large font): a push
// button spanning the button's right edge keeps its width, which its text
// needs, and stays centred under it; a list spanning it stretches.
TEST(BitmapPushButton, SpanningPushButtonKeepsItsWidthWhereTheButtonNarrows)
{
    QWidget parent;
    parent.setFixedSize(400, 300);
    auto* upload = new CBitmapPushButton(&parent);
    upload->setGeometry(100, 50, 180, 120); // right edge 280
    QImage face(111, 70, QImage::Format_RGB32);
    face.fill(Qt::lightGray);
    upload->SetBitmap(face);
    auto* close = new QPushButton(QStringLiteral("Close"), &parent);
    close->setGeometry(130, 200, 120, 30); // centred under it, 130..250
    auto* list = new QListWidget(&parent);
    list->setGeometry(20, 200, 300, 60);
    upload->SizeToContent(true);

    const int dx = upload->geometry().right() + 1 - 280; // 117 - 180
    EXPECT_EQ(dx, -63);
    EXPECT_EQ(close->width(), 120);
    EXPECT_EQ(close->x(), 130 + dx / 2);
    EXPECT_EQ(list->width(), 300 + dx);
}

TEST(FolderBrowserWindow, GrowsWithTheFont)
{
    const QFont normal = QApplication::font();
    const QSize small = CFolderBrowserWindow().size();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.25);
    QApplication::setFont(large);
    const QSize grown = CFolderBrowserWindow().size();
    QApplication::setFont(normal);
    EXPECT_GE(grown.width(), small.width() * 115 / 100);
    EXPECT_GE(grown.height(), small.height() * 115 / 100);
}

} // namespace
} // namespace oskel::qt
