// oskel-uploader: the desktop program. Runs the application's start-up
// (single instance, settings, camera, main window) and Qt's message loop
// until the main window is destroyed.
#include "QtFrontEnd.h"
#include "Resources.h"
#include "SignalClose.h"
#include "UploadDialogWindow.h"

#include "app/UploaderApp.h"
#include "camera/CameraHolder.h"
#include "protocol/TracingSerialOps.h"
#include "serial/TermiosSerialOps.h"

#include <QApplication>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    // A trace or a log whose reader has gone fails its writes; it must not
    // end the program in the middle of a transfer.
    std::signal(SIGPIPE, SIG_IGN);
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
    // SIGTERM, SIGHUP and SIGINT close the window as its Close button does.
    oskel::qt::CSignalClose signalClose;

    oskel::UploaderAppEnvironment environment;
    environment.makeView = [] { return std::make_unique<oskel::qt::CUploadDialogWindow>(); };
    // OSKEL_TRACE=FILE: the wire trace of the command line's --trace.
    std::ofstream traceFile;
    std::unique_ptr<oskel::TracingSerialOps> tracing;
    if (const char* trace = std::getenv("OSKEL_TRACE"); trace != nullptr && *trace != '\0') {
        traceFile.open(trace, std::ios::out | std::ios::trunc);
        if (!traceFile)
            qWarning("OSKEL_TRACE: %s cannot be written", trace);
        tracing = std::make_unique<oskel::TracingSerialOps>(oskel::TermiosSerialOps::Shared(), traceFile);
        environment.makeHolder = [&tracing](oskel::ProfileFile& settings) {
            return std::make_unique<oskel::CCameraHolder>(settings,
                                                          oskel::CommEnvironment{nullptr, tracing.get(), nullptr, nullptr});
        };
    }
    oskel::CUploaderApp uploader(std::move(environment));
    uploader.Settings().SetSaveFailureReport(
        [](const std::string& line) { std::cerr << "oskel-uploader: " << line << std::endl; });
    // A refused second copy and a cancelled camera search end with the
    // command line's statuses, so a launcher or session script can tell.
    if (!uploader.InitInstance())
        return uploader.StartExitStatus();
    auto* window = static_cast<oskel::qt::CUploadDialogWindow*>(uploader.MainWindow());
    // The main window's end is the program's end: exit() ends the loop
    // whatever the other windows say (quit() asks each to close, and one
    // that declines would keep an invisible program running).
    QObject::connect(
        window, &oskel::qt::CUploadDialogWindow::WindowDestroyed, &application, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    signalClose.SetMainWindow(window);
    const int result = QApplication::exec();
    uploader.ExitInstance();
    return result;
}
