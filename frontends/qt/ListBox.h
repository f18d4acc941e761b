#pragma once

#include "ui/ListModel.h"

#include <QComboBox>
#include <QListWidget>

namespace oskel::qt {

// A list box that shows a core list model (ui::ListModel) and hands the
// user's selection back to it. The core fills the model; Refresh() shows its
// current items and selection. Until the model is bound the widget is empty.
class CListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CListBox(QWidget* parent = nullptr);

    // Binds the widget to model (null unbinds) and shows it. The model must
    // outlive the binding.
    void Bind(ui::ListModel* model);
    ui::ListModel* Model() const { return m_model; }
    // Shows the model's items and selection again.
    void Refresh();

signals:
    // The user changed the selection (the model holds it already).
    void SelectionChanged();

private:
    void TakeSelection();

    ui::ListModel* m_model = nullptr;
    bool m_refreshing = false;
};

// A drop-down list (not editable) showing a core list model; the user's
// choice becomes the model's selection, and a model without a selection
// shows an empty field.
class CDropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit CDropDownList(QWidget* parent = nullptr);

    void Bind(ui::ListModel* model);
    ui::ListModel* Model() const { return m_model; }
    void Refresh();

private:
    ui::ListModel* m_model = nullptr;
    bool m_refreshing = false;
};

} // namespace oskel::qt
