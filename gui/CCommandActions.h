#pragma once

#include <QObject>
#include <map>

class QAction;
class QWidget;

// One QAction per command ID. Triggering an action emits commandTriggered(id), which the main frame
// routes; the frame asks the same routing for each action's enabled and checked state before a menu opens
// and while the program is idle.
class CCommandActions final : public QObject {
    Q_OBJECT
public:
    explicit CCommandActions(QWidget* owner);

    // The action of the command, made with the text when it does not exist yet.
    QAction* action(int id, const QString& text = QString());
    // The action of the command, or nullptr.
    QAction* find(int id) const;
    // Removes and deletes the action (used for the rebuilt sort menu's category entries).
    void remove(int id);

    const std::map<int, QAction*>& all() const { return m_actions; }

Q_SIGNALS:
    void commandTriggered(int id);

private:
    QWidget* m_owner;
    std::map<int, QAction*> m_actions;
};
