// oskel-uploader: the desktop program. Runs the application's start-up
// (single instance, settings, camera, main window) and Qt's message loop
// until the main window is destroyed.
#include "QtFrontEnd.h"
#include "Resources.h"
#include "UploadDialogWindow.h"

#include "app/UploaderApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("oskel-uploader");
    // The desktop entry's name: the application id on Wayland, where the
    // desktop takes the window's icon from that entry.
    QGuiApplication::setDesktopFileName("org.oskel.ProgramUploader");
    QApplication::setWindowIcon(oskel::qt::ProgramIcon());
    // The loop ends when the main dialog destroys its window, not when the
    // last window happens to be hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    oskel::qt::QtFrontEnd frontEnd;

    oskel::UploaderAppEnvironment environment;
    environment.makeView = [] { return std::make_unique<oskel::qt::CUploadDialogWindow>(); };
    oskel::CUploaderApp uploader(std::move(environment));
    if (!uploader.InitInstance())
        return 0;
    auto* window = static_cast<oskel::qt::CUploadDialogWindow*>(uploader.MainWindow());
    QObject::connect(window, &oskel::qt::CUploadDialogWindow::WindowDestroyed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    const int result = QApplication::exec();
    uploader.ExitInstance();
    return result;
}
