// oskel-screen-grab FILE.png: writes what the display shows (the whole
// primary screen) to FILE.png. For looking at the real program under Xvfb,
// where no other screenshot tool may be installed.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: oskel-screen-grab FILE.png\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "oskel-screen-grab: could not grab the screen into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
