#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QPoint;
class QWidget;

// The entries of the grid's popup menu, and the menu built from them each time it opens.
class CUGMenu final {
public:
    void clear() { m_entries.clear(); }
    // An entry, or a separator when the text is empty or the id is -1.
    void add(int id, const QString& text) { m_entries.push_back({id, text}); }
    bool isEmpty() const { return m_entries.empty(); }

    // Shows the menu at a point of the screen; choosing an entry calls back with its id.
    void popup(QWidget* parent, const QPoint& globalPos, const std::function<void(int)>& chosen);
    // The menu while it is open, or null.
    QMenu* shown() const;

private:
    struct Entry {
        int id;
        QString text;
    };

    std::vector<Entry> m_entries;
    QPointer<QMenu> m_popup;
};
