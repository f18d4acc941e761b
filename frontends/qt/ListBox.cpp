#include "ListBox.h"

#include "TemplateDialog.h"

namespace oskel::qt {

CListBox::CListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, &CListBox::TakeSelection);
}

void CListBox::Bind(ui::ListModel* model)
{
    m_model = model;
    Refresh();
}

void CListBox::Refresh()
{
    m_refreshing = true;
    clear();
    if (m_model != nullptr) {
        for (int i = 0; i < m_model->GetCount(); ++i)
            addItem(ToQt(m_model->GetText(i)));
        const int selected = m_model->GetCurSel();
        if (selected != ui::ListModel::kNoSelection)
            setCurrentRow(selected, QItemSelectionModel::ClearAndSelect);
    }
    m_refreshing = false;
}

void CListBox::TakeSelection()
{
    if (m_refreshing || m_model == nullptr)
        return;
    const auto selected = selectedItems();
    m_model->SetCurSel(selected.isEmpty() ? ui::ListModel::kNoSelection : row(selected.front()));
    emit SelectionChanged();
}

CDropDownList::CDropDownList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_refreshing && m_model != nullptr)
            m_model->SetCurSel(index);
    });
}

void CDropDownList::Bind(ui::ListModel* model)
{
    m_model = model;
    Refresh();
}

void CDropDownList::Refresh()
{
    m_refreshing = true;
    clear();
    if (m_model != nullptr) {
        for (int i = 0; i < m_model->GetCount(); ++i)
            addItem(ToQt(m_model->GetText(i)));
        setCurrentIndex(m_model->GetCurSel());
    }
    m_refreshing = false;
}

} // namespace oskel::qt
