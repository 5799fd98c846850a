#include "gui/CCommandActions.h"

#include <QAction>
#include <QWidget>

CCommandActions::CCommandActions(QWidget* owner) : QObject(owner), m_owner(owner) {}

QAction* CCommandActions::action(int id, const QString& text) {
    if (QAction* existing = find(id)) {
        return existing;
    }
    auto* created = new QAction(text, m_owner);
    created->setData(id);
    // Shortcuts of commands that are in no menu must work too: every action belongs to the window.
    m_owner->addAction(created);
    connect(created, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
    m_actions.emplace(id, created);
    return created;
}

QAction* CCommandActions::find(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CCommandActions::remove(int id) {
    const auto it = m_actions.find(id);
    if (it != m_actions.end()) {
        delete it->second;
        m_actions.erase(it);
    }
}
