#include "ListBox.h"

#include "TemplateDialog.h"

#include <QFontMetrics>

namespace oskel::qt {

int QtTextMeasurer::TextWidth(std::string_view text) const
{
    return QFontMetrics(m_widget->font()).horizontalAdvance(ToQt(text));
}

CListBox::CListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    connect(this, &QListWidget::itemSelectionChanged, this, &CListBox::TakeSelection);
}

CListBox::~CListBox()
{
    Bind(nullptr);
}

void CListBox::Bind(ui::ListModel* model)
{
    if (m_model != nullptr) {
        m_model->RemoveObserver(this);
        m_model->SetTextMeasurer(nullptr);
    }
    m_model = model;
    if (m_model != nullptr) {
        m_model->AddObserver(this);
        m_model->SetTextMeasurer(&m_measurer);
        setSelectionMode(m_model->SelectionMode() == ui::ListModel::Selection::Extended
                             ? QAbstractItemView::ExtendedSelection
                             : QAbstractItemView::SingleSelection);
    }
    Refresh();
}

void CListBox::Refresh()
{
    m_syncing = true;
    clear();
    if (m_model != nullptr) {
        for (int i = 0; i < m_model->GetCount(); ++i) {
            addItem(ToQt(m_model->GetText(i)));
            FitItemToExtent(item(i));
        }
    }
    m_syncing = false;
    ShowSelection();
}

void CListBox::ItemInserted(int index)
{
    m_syncing = true;
    insertItem(index, ToQt(m_model->GetText(index)));
    FitItemToExtent(item(index));
    m_syncing = false;
    ShowSelection();
}

void CListBox::ItemDeleted(int index)
{
    m_syncing = true;
    delete takeItem(index);
    m_syncing = false;
    ShowSelection();
}

void CListBox::ContentReset()
{
    Refresh();
}

void CListBox::SelectionChanged()
{
    if (!m_syncing)
        ShowSelection();
}

void CListBox::HorizontalExtentChanged(int)
{
    for (int i = 0; i < count(); ++i)
        FitItemToExtent(item(i));
}

void CListBox::FitItemToExtent(QListWidgetItem* listItem) const
{
    const int extent = m_model != nullptr ? m_model->GetHorizontalExtent() : 0;
    listItem->setSizeHint(QSize());
    if (extent <= 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int height = itemDelegate()->sizeHint(option, indexFromItem(listItem)).height();
    listItem->setSizeHint(QSize(extent, height));
}

void CListBox::ShowSelection()
{
    if (m_model == nullptr)
        return;
    m_syncing = true;
    for (int i = 0; i < count() && i < m_model->GetCount(); ++i)
        item(i)->setSelected(m_model->GetSel(i));
    m_syncing = false;
}

void CListBox::TakeSelection()
{
    if (m_syncing || m_model == nullptr)
        return;
    m_syncing = true;
    if (m_model->SelectionMode() == ui::ListModel::Selection::Single) {
        const auto selected = selectedItems();
        m_model->SetCurSel(selected.isEmpty() ? ui::ListModel::kNoSelection : row(selected.front()));
    } else {
        for (int i = 0; i < count() && i < m_model->GetCount(); ++i) {
            if (item(i)->isSelected() != m_model->GetSel(i))
                m_model->SetSel(i, item(i)->isSelected());
        }
    }
    m_syncing = false;
    emit UserSelectionChanged();
}

CDropDownList::CDropDownList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_syncing || m_model == nullptr)
            return;
        m_syncing = true;
        m_model->SetCurSel(index);
        m_syncing = false;
    });
}

CDropDownList::~CDropDownList()
{
    Bind(nullptr);
}

void CDropDownList::Bind(ui::ListModel* model)
{
    if (m_model != nullptr)
        m_model->RemoveObserver(this);
    m_model = model;
    if (m_model != nullptr)
        m_model->AddObserver(this);
    Refresh();
}

void CDropDownList::Refresh()
{
    m_syncing = true;
    clear();
    if (m_model != nullptr) {
        for (int i = 0; i < m_model->GetCount(); ++i)
            addItem(ToQt(m_model->GetText(i)));
        setCurrentIndex(m_model->GetCurSel());
    }
    m_syncing = false;
}

void CDropDownList::ItemInserted(int index)
{
    m_syncing = true;
    insertItem(index, ToQt(m_model->GetText(index)));
    setCurrentIndex(m_model->GetCurSel());
    m_syncing = false;
}

void CDropDownList::ItemDeleted(int index)
{
    m_syncing = true;
    removeItem(index);
    setCurrentIndex(m_model->GetCurSel());
    m_syncing = false;
}

void CDropDownList::SelectionChanged()
{
    if (m_syncing)
        return;
    m_syncing = true;
    setCurrentIndex(m_model->GetCurSel());
    m_syncing = false;
}

} // namespace oskel::qt
