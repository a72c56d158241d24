#include "widgets/ListUI.h"

#include <QSignalBlocker>

namespace vx::widgets {

CListUI::CListUI(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        m_previous = m_current;
        m_current = row;
    });
}

int CListUI::AddText(const QString& text, const QString& userData) {
    const QSignalBlocker blocker(this);
    auto* item = new QListWidgetItem(text, this);
    item->setData(Qt::UserRole, userData);
    return count() - 1;
}

int CListUI::Add(QWidget* element) {
    if (!element) return -1;
    const QSignalBlocker blocker(this);
    auto* item = new QListWidgetItem(this);
    item->setSizeHint(element->sizeHint());
    setItemWidget(item, element);
    return count() - 1;
}

QWidget* CListUI::GetItemAt(int index) const {
    QListWidgetItem* it = item(index);
    return it ? itemWidget(it) : nullptr;
}

void CListUI::RemoveAll() {
    const QSignalBlocker blocker(this);
    clear();
    m_current = m_previous = -1;
}

bool CListUI::SelectItem(int index) {
    if (index < -1 || index >= count()) return false;
    const QSignalBlocker blocker(this);
    setCurrentRow(index);
    m_previous = m_current;
    m_current = index;
    return true;
}

QString CListUI::GetItemUserData(int index) const {
    QListWidgetItem* it = item(index);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

}  // namespace vx::widgets
