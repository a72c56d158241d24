#include "widgets/ComboUI.h"

#include <QSignalBlocker>

#include "widgets/ResourceManager.h"

namespace vx::widgets {

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole + 2;
}  // namespace

CComboUI::CComboUI(QWidget* parent) : QComboBox(parent) {
    // Remembers the selection before a user choice so that "itemselect" can report it.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_previous = m_current;
        m_current = index;
    });
}

int CComboUI::AddItem(const QString& text, bool keyMode, const QString& userData) {
    const QSignalBlocker blocker(this);
    addItem(keyMode ? CResourceManager::GetInstance().GetText(text) : text);
    const int index = count() - 1;
    if (keyMode) setItemData(index, text, kKeyRole);
    setItemData(index, userData, kDataRole);
    if (m_current < 0) m_current = currentIndex();
    return index;
}

void CComboUI::RemoveAll() {
    const QSignalBlocker blocker(this);
    clear();
    m_current = m_previous = -1;
}

bool CComboUI::SelectItem(int index) {
    if (index < -1 || index >= count()) return false;
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    m_previous = m_current;
    m_current = index;
    return true;
}

QString CComboUI::GetItemUserData(int index) const {
    return itemData(index, kDataRole).toString();
}

void CComboUI::RefreshItemTexts() {
    const QSignalBlocker blocker(this);
    for (int i = 0; i < count(); ++i) {
        const QString key = itemData(i, kKeyRole).toString();
        if (!key.isEmpty()) setItemText(i, CResourceManager::GetInstance().GetText(key));
    }
}

}  // namespace vx::widgets
