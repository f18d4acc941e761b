#include "res/BitmapResources.h"
#include "res/DialogTemplates.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace oskel {
namespace {

using res::ControlKind;

TEST(DialogTemplates, EachIsFoundByIdWithUniqueControlIds)
{
    for (const res::DialogTemplate& t : res::AllDialogTemplates()) {
        EXPECT_EQ(res::FindDialogTemplate(t.id), &t);
        EXPECT_EQ(t.fontFace, "MS Sans Serif");
        EXPECT_EQ(t.pointSize, 8);
        std::set<int> ids;
        for (const res::DialogControl& c : t.controls) {
            if (c.id != res::IDC_STATIC) {
                EXPECT_TRUE(ids.insert(c.id).second) << t.id << " repeats " << c.id;
            }
            EXPECT_LE(c.x + c.cx, t.cx) << t.id << "/" << c.id << " leaves the dialog";
        }
    }
    EXPECT_EQ(res::FindDialogTemplate(101), nullptr);
    EXPECT_EQ(res::FindDialogTemplate(102)->FindControl(res::IDC_STATIC), nullptr);
}

TEST(DialogTemplates, CameraNotFoundHasItsFixedTextsExactly)
{
    const res::DialogTemplate* t = res::FindDialogTemplate(res::IDD_CAMERA_NOT_FOUND);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "Error: Camera Not Found!");
    EXPECT_EQ(t->cx, 196);
    EXPECT_EQ(t->cy, 133);
    ASSERT_EQ(t->controls.size(), 8u);
    EXPECT_EQ(t->controls[0].text, "An error occurred trying to connect to the camera!");
    EXPECT_EQ(t->controls[1].text,
              "Please check the cable connections and be sure the camera is turned on.  Select the communications port "
              "and adjust the speed settings if necessary.");
    EXPECT_EQ(t->controls[2].style & res::SS_TYPEMASK, res::SS_RIGHT);
    const res::DialogControl* speed = t->FindControl(1011);
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->kind, ControlKind::ComboBox);
    EXPECT_EQ(speed->style & res::CBS_DROPDOWNLIST, res::CBS_DROPDOWNLIST);
    EXPECT_EQ(std::make_tuple(speed->x, speed->y, speed->cx, speed->cy), std::make_tuple(84, 85, 69, 47));
}

TEST(DialogTemplates, MainDialogControlsAndStyles)
{
    const res::DialogTemplate* t = res::FindDialogTemplate(res::IDD_UPLOAD);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->windowClass, "OskelUploaderDialogClass");
    EXPECT_EQ(t->exStyle, res::WS_EX_CONTROLPARENT);
    EXPECT_NE(t->style & res::DS_MODALFRAME, 0u);
    const res::DialogControl* upload = t->FindControl(1008);
    ASSERT_NE(upload, nullptr);
    EXPECT_EQ(upload->text, "&UPLOAD");
    EXPECT_EQ(upload->style & res::BS_TYPEMASK, res::BS_OWNERDRAW);
    EXPECT_NE(t->FindControl(1004)->style & res::LBS_SORT, 0u);
    EXPECT_EQ(t->FindControl(1005)->style & res::LBS_SORT, 0u);
    EXPECT_NE(t->FindControl(1005)->style & res::LBS_EXTENDEDSEL, 0u);
}

TEST(BitmapResources, UploadBitmapIsNamedByCaptionPlusU)
{
    EXPECT_EQ(res::FindBitmapFile("&UPLOADU"), "UploadButton.bmp");
    EXPECT_EQ(res::FindBitmapFile("&uploadu"), "UploadButton.bmp");
    EXPECT_EQ(res::FindBitmapFile("&UPLOAD"), "");
    EXPECT_EQ(res::FindIconFile(res::IDI_PROGRAM), "ProgramIcon.png");
    EXPECT_EQ(res::FindIconFile(129), "");
}

} // namespace
} // namespace oskel
