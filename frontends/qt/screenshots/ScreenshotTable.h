#pragma once

#include <QImage>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace oskel::qt::shots {

// One picture: a file name (without ".png") and what draws it.
struct Shot {
    std::string name;
    std::function<QImage()> draw;
};

// The picture of a top-level window as a desktop shows it: the window with a
// plain title bar carrying its icon and caption above it (the offscreen
// platform draws no frames of its own). Shows the window first.
QImage WindowPicture(QWidget& window);

// The pictures of each group of windows; add a group by writing one such
// function and listing it in ScreenshotMain.cpp.
void AddCameraNotFoundShots(std::vector<Shot>& shots);
void AddProgressShots(std::vector<Shot>& shots);
void AddMessageBoxShots(std::vector<Shot>& shots);
void AddDrawnControlShots(std::vector<Shot>& shots);
void AddTemplateShots(std::vector<Shot>& shots);
void AddArtworkShots(std::vector<Shot>& shots);
void AddMainWindowShots(std::vector<Shot>& shots);

} // namespace oskel::qt::shots
