#pragma once

#include <QGroupBox>

namespace oskel::qt {

// A group box drawn the classic way: an etched frame whose top line runs
// through the middle of the title. The controls it frames are its siblings,
// as in a dialog template, so its mnemonic (Alt+F for "Applications in
// &Folder") moves the focus to the next control of the tab order.
class CGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CGroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace oskel::qt
