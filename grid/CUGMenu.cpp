#include "grid/CUGMenu.h"

#include <QMenu>

void CUGMenu::popup(QWidget* parent, const QPoint& globalPos, const std::function<void(int)>& chosen) {
    delete m_popup;
    m_popup = new QMenu(parent);
    m_popup->setAttribute(Qt::WA_DeleteOnClose);
    for (const Entry& entry : m_entries) {
        if (entry.text.isEmpty() || entry.id == -1) {
            m_popup->addSeparator();
            continue;
        }
        const int id = entry.id;
        m_popup->addAction(entry.text, m_popup, [chosen, id] { chosen(id); });
    }
    m_popup->popup(globalPos);
}

QMenu* CUGMenu::shown() const {
    return m_popup && m_popup->isVisible() ? m_popup.data() : nullptr;
}
