#include "Resources.h"

#include "res/BitmapResources.h"
#include "res/DialogTemplates.h"

namespace oskel::qt {
namespace {

QString ResourcePath(std::string_view file)
{
    return QStringLiteral(":/res/") + QString::fromLatin1(file.data(), static_cast<qsizetype>(file.size()));
}

} // namespace

QImage LoadBitmapResource(const std::string& name)
{
    const std::string_view file = res::FindBitmapFile(name);
    if (file.empty())
        return {};
    return QImage(ResourcePath(file));
}

QIcon LoadIconResource(unsigned id)
{
    const std::string_view file = res::FindIconFile(id);
    if (file.empty())
        return {};
    QIcon icon(ResourcePath(file));
    if (id == res::IDI_PROGRAM) {
        // The sizes the desktop's task bars and switchers ask for.
        for (const int size : {48, 128, 256})
            icon.addFile(QStringLiteral(":/res/ProgramIcon%1.png").arg(size));
    }
    return icon;
}

QIcon ProgramIcon()
{
    return LoadIconResource(res::IDI_PROGRAM);
}

} // namespace oskel::qt
