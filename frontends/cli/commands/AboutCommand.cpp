#include "commands/CliCommands.h"
#include "CliSession.h"
#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"

#include "camera/CameraIdentityText.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

namespace oskel::cli {

// The About box's camera lines. When the camera cannot be reached, the box's
// "The camera is not connected." and then the reason. A text that could not
// be read is shown as far as it arrived (the buffers start zeroed, so never
// with stale bytes), and the failure is told on the error stream.
int RunAbout(const CliOptions& options, CliContext& context)
{
    const std::string notConnected = res::LoadString(res::IDS_CAMERA_NOT_CONNECTED);
    CliSession session(options, context);
    if (const int status = session.Connect(notConnected); status != kExitOk)
        return status;
    CCameraConnection& camera = session.Connection();
    if (!camera.CheckAlive(1)) {
        session.ReportFailure(notConnected);
        return kExitNoCamera;
    }

    char id[kCameraTextSize + 1] = {};
    char version[kCameraTextSize + 1] = {};
    const bool idRead = camera.GetCameraId(id) != 0;
    const bool versionRead = camera.GetCameraVersion(version) != 0;

    if (options.json) {
        context.out << JsonObject()
                           .AddBytes("id", CameraText(id, kCameraTextSize))
                           .AddBytes("version", CameraText(version, kCameraTextSize))
                           .Add("idRead", idRead)
                           .Add("versionRead", versionRead)
                           .Text()
                    << '\n';
    } else {
        context.out << Printable(CameraIdLine(id)) << '\n' << Printable(CameraVersionLine(version)) << '\n';
    }
    context.out.flush();
    if (!idRead)
        session.Error("The camera id could not be read.");
    if (!versionRead)
        session.Error("The camera version could not be read.");
    return idRead && versionRead ? kExitOk : kExitFailed;
}

} // namespace oskel::cli
