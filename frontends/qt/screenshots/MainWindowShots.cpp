// Pictures of the main window on an emulated camera holding three of the
// sample programs, beside the sample programs in a folder.
#include "ScreenshotTable.h"
#include "UploadDialogWindow.h"

#include "app/UploadDialog.h"
#include "emulator/CameraEngine.h"
#include "emulator/EmulatorLine.h"
#include "emulator/SamplePrograms.h"
#include "platform/PlatformInfo.h"
#include "platform/VirtualTimeSource.h"

#include <QDir>
#include <algorithm>
#include <QTemporaryDir>

#include <memory>

namespace oskel::qt::shots {
namespace {

struct NtPlatform final : PlatformInfo {
    PlatformVersion Query() override { return {true, kPlatformWin32NT, 6}; }
};

emulator::CameraConfig CameraHolding(const std::vector<std::string>& files)
{
    emulator::CameraConfig config;
    for (const emulator::SampleProgram& p : emulator::SampleSet(emulator::SampleSignatures::Plus)) {
        if (std::find(files.begin(), files.end(), p.fileName) == files.end())
            continue;
        emulator::StoredProgram stored;
        emulator::CameraNameFromFileName(p.fileName, &stored.name);
        stored.data = emulator::MakeProgramFile(p);
        config.programs.push_back(std::move(stored));
    }
    return config;
}

// selectFolder / selectCamera: rows to select in the two lists.
QImage MainWindow(const std::vector<int>& selectFolder, const std::vector<int>& selectCamera)
{
    QTemporaryDir dir;
    // A folder path as a user would have it, deep enough to be shortened.
    const std::string folder = dir.path().toStdString() + "/home/ann/Camera/Programs/Sample Programs/";
    emulator::WriteSamplePrograms(folder, emulator::SampleSignatures::Plus, nullptr, nullptr);
    CSettingsStore settings(dir.path().toStdString() + "/QUIVRAN.INI");
    settings.WriteProfileString(CUploadDialog::kSection, CUploadDialog::kFolderKey, folder);

    VirtualTimeSource clock;
    emulator::CameraEngine engine(CameraHolding({"CLOCK.FNC", "FRAMES.FNC", "FRAMEA.ATC", "STAMPS.FNC", "STAMPA.ATC"}));
    emulator::EmulatorLine line(clock, engine, {0});
    NtPlatform platform;
    CUploadDialog dialog(settings, std::make_unique<CCameraHolder>(std::make_unique<CCameraConnection>(
                                       settings.File(), line, clock, platform)));
    CUploadDialogWindow window;
    if (!dialog.Create(window))
        return {};
    for (int row : selectFolder)
        dialog.Catalog().FolderList().SetSel(row, true);
    dialog.EnableUploadByFolderSelection();
    for (int row : selectCamera)
        dialog.Catalog().CameraList().SetSel(row, true);
    dialog.EnableRemoveByCameraSelection();
    const QImage picture = WindowPicture(window);
    window.DestroyWindow();
    return picture;
}

} // namespace

void AddMainWindowShots(std::vector<Shot>& shots)
{
    shots.push_back({"main", [] { return MainWindow({}, {}); }});
    shots.push_back({"main-selected", [] { return MainWindow({1, 3}, {2}); }});
}

} // namespace oskel::qt::shots
