// Writes a PNG of each window of the Qt front end, for people to look at:
//   oskel-screenshots <folder> [name...]
// With names, only those pictures are drawn.
#include "QtFrontEnd.h"
#include "ScreenshotTable.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

using namespace oskel::qt::shots;

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [name...]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    oskel::qt::QtFrontEnd frontEnd;

    std::vector<Shot> shots;
    AddCameraNotFoundShots(shots);
    AddProgressShots(shots);
    AddMessageBoxShots(shots);
    AddDrawnControlShots(shots);
    AddTemplateShots(shots);
    AddArtworkShots(shots);
    AddMainWindowShots(shots);

    int failures = 0;
    for (const Shot& shot : shots) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i)
            wanted = wanted || shot.name == argv[i];
        if (!wanted)
            continue;
        const QString path = folder + QLatin1Char('/') + QString::fromStdString(shot.name) + QStringLiteral(".png");
        const QImage picture = shot.draw();
        if (picture.isNull() || !picture.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
    return failures == 0 ? 0 : 1;
}
