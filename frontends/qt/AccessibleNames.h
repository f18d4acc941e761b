#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace oskel::qt {

// Gives screen readers a name for the controls of a template that show no
// text of their own, from what labels them on the screen:
//   - an owner-drawn button reads its caption ("&UPLOAD" reads "Upload");
//   - a list, combo box, edit or progress bar right after a group box that
//     frames it reads the group box's title ("Applications in Folder");
//   - one right after a static text is that label's buddy, so it reads the
//     label's current text (the progress bar reads the progress message).
// controls: the template's widgets in template order.
void NameControlsForScreenReaders(const std::vector<QWidget*>& controls);

// A caption as read aloud: mnemonic markers dropped ("&&" reads '&'), and a
// caption in capitals as a word ("&UPLOAD" -> "Upload").
QString SpokenCaption(const QString& caption);

} // namespace oskel::qt
