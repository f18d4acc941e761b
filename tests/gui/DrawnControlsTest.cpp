#include "BitmapPushButton.h"
#include "ColorStatic.h"
#include "TemplateDialog.h"

#include <QApplication>
#include <QPainter>

#include <cstdlib>

#include <gtest/gtest.h>

namespace oskel::qt {
namespace {

const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFocusDot = qRgb(192 ^ 255, 192 ^ 255, 192 ^ 255); // grey inverted

// A 12 x 10 face: light grey with a 2 x 2 red square at (5, 5).
QImage Face()
{
    QImage face(12, 10, QImage::Format_RGB32);
    face.fill(kGrey);
    for (int y = 5; y < 7; ++y)
        for (int x = 5; x < 7; ++x)
            face.setPixel(x, y, kRed);
    return face;
}

class BitmapButtonLooks : public testing::Test {
protected:
    BitmapButtonLooks()
    {
        button.SetBitmap(Face());
        button.SizeToContent(false);
        highlight = button.palette().color(QPalette::Light).rgb();
        shadow = button.palette().color(QPalette::Dark).rgb();
    }

    QImage Render(bool pressed, bool disabled, bool focused)
    {
        QImage image(button.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        button.Draw(painter, image.rect(), pressed, disabled, focused);
        return image;
    }

    CBitmapPushButton button;
    QRgb highlight = 0, shadow = 0;
};

TEST_F(BitmapButtonLooks, SizedToTheFacePlusThreePixelsEachSide)
{
    EXPECT_EQ(button.size(), QSize(18, 16));
    EXPECT_EQ(button.OffsetX(), 3);
    EXPECT_EQ(button.OffsetY(), 3);
}

TEST_F(BitmapButtonLooks, NormalHasOutlineRaisedBevelAndFace)
{
    const QImage img = Render(false, false, false);
    EXPECT_EQ(img.pixel(0, 0), kBlack);
    EXPECT_EQ(img.pixel(17, 15), kBlack);
    EXPECT_EQ(img.pixel(1, 1), highlight);
    EXPECT_EQ(img.pixel(2, 2), highlight);
    EXPECT_EQ(img.pixel(16, 14), shadow);
    EXPECT_EQ(img.pixel(15, 13), shadow);
    EXPECT_EQ(img.pixel(1, 14), shadow) << "the bottom edge reaches the left corner";
    EXPECT_EQ(img.pixel(16, 1), shadow) << "the right edge starts at the top";
    EXPECT_EQ(img.pixel(8, 8), kRed);
    EXPECT_EQ(img.pixel(7, 7), kGrey);
    EXPECT_EQ(img.pixel(4, 4), kGrey) << "no focus rectangle";
}

TEST_F(BitmapButtonLooks, PressedHasShadowFrameAndFaceMovedDownRight)
{
    const QImage img = Render(true, false, false);
    EXPECT_EQ(img.pixel(0, 0), kBlack);
    EXPECT_EQ(img.pixel(1, 1), shadow);
    EXPECT_EQ(img.pixel(16, 14), shadow);
    EXPECT_EQ(img.pixel(2, 2), shadow);
    EXPECT_EQ(img.pixel(2, 10), shadow);
    EXPECT_EQ(img.pixel(15, 13), kGrey) << "no inner bevel on the right and bottom";
    EXPECT_EQ(img.pixel(9, 9), kRed);
    EXPECT_EQ(img.pixel(8, 8), kGrey);
}

TEST_F(BitmapButtonLooks, FocusRectangleFourPixelsInAndFollowsThePress)
{
    const QImage normal = Render(false, false, true);
    EXPECT_EQ(normal.pixel(4, 4), kFocusDot);
    EXPECT_EQ(normal.pixel(5, 4), kGrey) << "dotted";
    EXPECT_EQ(normal.pixel(6, 4), kFocusDot);
    EXPECT_EQ(normal.pixel(3, 3), kGrey);

    const QImage pressed = Render(true, false, true);
    EXPECT_EQ(pressed.pixel(5, 5), kFocusDot);
    EXPECT_EQ(pressed.pixel(4, 4), kGrey);
}

TEST_F(BitmapButtonLooks, DisabledShowsTheEmbossedImageWithoutOffsetOrFocus)
{
    const QImage img = Render(false, true, true);
    EXPECT_EQ(img.pixel(8, 8), kGrey) << "the shape flattened to the background";
    EXPECT_EQ(img.pixel(10, 10), highlight) << "highlight below and right";
    EXPECT_EQ(img.pixel(7, 7), shadow) << "shadow above and left";
    EXPECT_EQ(img.pixel(4, 4), kGrey);
    EXPECT_EQ(Render(true, true, false).pixel(7, 7), shadow) << "no pressed offset";

    const QImage again = Render(false, false, false);
    EXPECT_EQ(again.pixel(8, 8), kRed) << "enabled again: the face as it was";
}

TEST(BitmapPushButton, AutoLoadSizesTheUploadButtonAndRelaysTheDialog)
{
    CTemplateDialog dialog(res::IDD_UPLOAD);
    auto* upload = dialog.Item<CBitmapPushButton>(1008);
    ASSERT_NE(upload, nullptr);
    const QRect before = upload->geometry();
    const QSize dialogBefore = dialog.size();
    const QRect removeBefore = dialog.GetDlgItem(1007)->geometry();
    const QRect folderListBefore = dialog.GetDlgItem(1004)->geometry();
    const QRect panelBefore = dialog.GetDlgItem(1001)->geometry();

    ASSERT_EQ(upload->AutoLoad(1008, &dialog, true), 1);
    EXPECT_EQ(upload->size(), QSize(117, 76));
    EXPECT_EQ(upload->pos(), before.topLeft());
    const int dx = 117 - before.width(), dy = 76 - before.height();
    EXPECT_EQ(dialog.size(), dialogBefore + QSize(dx, dy));
    EXPECT_EQ(dialog.GetDlgItem(1007)->geometry(), removeBefore.translated(dx, dy)) << "right of and below the button";
    EXPECT_EQ(dialog.GetDlgItem(1004)->geometry(), folderListBefore.adjusted(0, 0, 0, dy))
        << "left of the button; spans its bottom edge";
    EXPECT_EQ(dialog.GetDlgItem(1001)->geometry(), panelBefore.adjusted(0, 0, dx, 0))
        << "above the button; spans its right edge";
}

TEST(BitmapPushButton, AutoLoadRefusesAnotherControlOrAMissingBitmap)
{
    CTemplateDialog dialog(res::IDD_UPLOAD);
    auto* upload = dialog.Item<CBitmapPushButton>(1008);
    const QSize before = upload->size();
    EXPECT_EQ(upload->AutoLoad(1007, &dialog, true), 0);
    upload->setText(QStringLiteral("&NOPE"));
    EXPECT_EQ(upload->AutoLoad(1008, &dialog, true), 0);
    EXPECT_EQ(upload->size(), before);
    EXPECT_TRUE(upload->Face().isNull());
}

TEST(ColorStatic, KeepsItsColoursWhenTheDesktopsChange)
{
    CColorStatic panel;
    panel.resize(200, 40);
    panel.setText(QStringLiteral("Select the desired Applications"));
    panel.SetColors(FromColorRef(0x0080FFFF), Qt::black, true);
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(QPalette(Qt::darkBlue, Qt::darkGreen));

    const QImage img = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QApplication::setPalette(saved);
    EXPECT_EQ(img.pixel(190, 35), qRgb(255, 255, 128));
    // Text pixels: dark grey, or black blended into the yellow (red equals
    // green); any other tint would come from the desktop's colours.
    int dark = 0, coloured = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 100; ++x) {
            const QColor c(img.pixel(x, y));
            if (c.rgb() == qRgb(255, 255, 128))
                continue;
            if (std::abs(c.red() - c.green()) > 24 || c.blue() > c.red() + 24)
                ++coloured;
            else if (c.value() < 110)
                ++dark;
        }
    }
    EXPECT_GT(dark, 20) << "black text on the panel";
    EXPECT_EQ(coloured, 0) << "no text in the desktop's colours";
}

} // namespace
} // namespace oskel::qt
