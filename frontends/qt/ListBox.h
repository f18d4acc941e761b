#pragma once

#include "ui/ListModel.h"
#include "ui/TextMeasurer.h"

#include <QComboBox>
#include <QListWidget>

namespace oskel::qt {

// Measures text in pixels with a widget's current font.
class QtTextMeasurer final : public ui::ITextMeasurer {
public:
    explicit QtTextMeasurer(const QWidget* widget) : m_widget(widget) {}
    int TextWidth(std::string_view text) const override;

private:
    const QWidget* m_widget;
};

// A list box that shows a core list model (ui::ListModel) and follows its
// change notifications: insertions, deletions, resets and selection changes
// made by the core appear at once; the user's selection goes back into the
// model (single or extended, as the model's style says). The model measures
// its texts with this widget's font while bound. The model must outlive the
// binding (Bind(nullptr) or the widget's destruction ends it).
// Every item is as wide as the model's horizontal extent (the width the
// catalog works out for its widest text), so the list scrolls sideways
// exactly when that extent is wider than the list, and no text is elided.
class CListBox : public QListWidget, private ui::IListObserver {
    Q_OBJECT
public:
    explicit CListBox(QWidget* parent = nullptr);
    ~CListBox() override;

    void Bind(ui::ListModel* model);
    ui::ListModel* Model() const { return m_model; }
    // Shows the whole model again (the notifications make this unnecessary
    // for a bound model; kept for callers that changed the widget's font).
    void Refresh();

signals:
    // The user changed the selection (the model holds it already). The
    // core's own selection changes reach the model's observers instead.
    void UserSelectionChanged();

private:
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ContentReset() override;
    void SelectionChanged() override;
    void HorizontalExtentChanged(int extent) override;

    void FitItemToExtent(QListWidgetItem* item) const;
    void ShowSelection();
    void TakeSelection();

    ui::ListModel* m_model = nullptr;
    QtTextMeasurer m_measurer{this};
    bool m_syncing = false;
};

// A drop-down list (not editable) showing a core list model; the user's
// choice becomes the model's selection, and a model without a selection
// shows an empty field. The same binding rules as CListBox.
class CDropDownList : public QComboBox, private ui::IListObserver {
    Q_OBJECT
public:
    explicit CDropDownList(QWidget* parent = nullptr);
    ~CDropDownList() override;

    void Bind(ui::ListModel* model);
    ui::ListModel* Model() const { return m_model; }
    void Refresh();

private:
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ContentReset() override { Refresh(); }
    void SelectionChanged() override;

    ui::ListModel* m_model = nullptr;
    bool m_syncing = false;
};

} // namespace oskel::qt
