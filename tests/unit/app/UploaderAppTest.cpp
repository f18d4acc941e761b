#include "app/UploaderApp.h"

#include "res/StringTable.h"
#include "support/EmulatedCamera.h"
#include "support/RecordedUploadDialogView.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace oskel {
namespace {

using test::RecordedUploadDialogView;

class UploaderAppTest : public ::testing::Test {
protected:
    UploaderAppTest() : runtime("XDG_RUNTIME_DIR", dir.Path()) { CCameraConnection::ResetRunFlagsForTest(); }

    UploaderAppEnvironment Environment(test::EmulatedCamera& camera, RecordedUploadDialogView** view)
    {
        UploaderAppEnvironment env;
        env.settingsPath = dir / "QUIVRAN.INI";
        env.makeView = [view] {
            auto made = std::make_unique<RecordedUploadDialogView>();
            *view = made.get();
            return made;
        };
        env.makeHolder = [&camera](ProfileFile& settings) { return camera.MakeHolder(settings); };
        return env;
    }

    std::string SettingsText() { return test::ReadFileBytes(dir / "QUIVRAN.INI").value_or(""); }

    test::TempDir dir;
    test::ScopedEnv runtime;
    test::TestFrontEnd frontEnd;
};

TEST_F(UploaderAppTest, RunsUntilTheMainWindowIsClosed)
{
    test::EmulatedCamera camera;
    RecordedUploadDialogView* view = nullptr;
    CUploaderApp app(Environment(camera, &view));
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(view->shown);
    EXPECT_TRUE(app.MainWindowExists());
    EXPECT_EQ(app.Settings().ProfileName(), dir / "QUIVRAN.INI");
    view->CloseBox();
    EXPECT_FALSE(app.MainWindowExists());
    app.ExitInstance();
    const std::string text = SettingsText();
    EXPECT_NE(text.find("Port="), std::string::npos);
    EXPECT_NE(text.find("Camera=82"), std::string::npos);
    EXPECT_NE(text.find("AppPosition=100 80 482 309 1"), std::string::npos);
    EXPECT_TRUE(frontEnd.Boxes().empty());
}

TEST_F(UploaderAppTest, EndingWithTheWindowOpenDestroysItFirst)
{
    test::EmulatedCamera camera;
    RecordedUploadDialogView* view = nullptr;
    {
        CUploaderApp app(Environment(camera, &view));
        ASSERT_TRUE(app.InitInstance());
    }
    EXPECT_NE(SettingsText().find("AppPosition=100 80 482 309 1"), std::string::npos);
}

TEST_F(UploaderAppTest, SecondInstanceIsRefusedWithMessage1500)
{
    test::EmulatedCamera camera;
    RecordedUploadDialogView* first = nullptr;
    RecordedUploadDialogView* second = nullptr;
    CUploaderApp running(Environment(camera, &first));
    ASSERT_TRUE(running.InitInstance());

    CUploaderApp again(Environment(camera, &second));
    EXPECT_FALSE(again.InitInstance());
    EXPECT_EQ(second, nullptr) << "no window is made";
    ASSERT_EQ(frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(frontEnd.Boxes()[0].text, "An OSKEL Quivran application is already running!  Only one application may "
                                        "access the camera at a time.");
    EXPECT_EQ(frontEnd.Boxes()[0].type, ui::MB_ICONEXCLAMATION);
    EXPECT_TRUE(running.MainWindowExists());
}

TEST_F(UploaderAppTest, NoCameraEndsSilentlyWritingOnlyTheConnectionKeys)
{
    test::EmulatedCamera camera({}, {});
    RecordedUploadDialogView* view = nullptr;
    CUploaderApp app(Environment(camera, &view));
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.MainWindow(), nullptr) << "the window object is discarded unshown";
    EXPECT_EQ(app.MainDialog(), nullptr);
    EXPECT_TRUE(frontEnd.Boxes().empty());
    EXPECT_EQ(SettingsText(), "[Communication]\nPort=1073741824\nSpeed=1073761024\n");
}

} // namespace
} // namespace oskel
