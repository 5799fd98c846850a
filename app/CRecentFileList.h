#pragma once

#include <QString>
#include <QStringList>

class CProfile;

// The recently opened catalogs, most recent first, kept in section "Recent File List" under "File1" to
// "File4". The list is written back whenever it changes, so a crash loses nothing.
class CRecentFileList final {
public:
    static constexpr int kSize = 4;

    explicit CRecentFileList(CProfile& profile);

    void load();
    void save() const;

    // Puts the path at the top, removing an equal entry and the oldest one beyond kSize.
    void add(const QString& path);
    void remove(int index);
    // Removes the entry of the path, wherever it stands.
    void remove(const QString& path);

    int count() const { return static_cast<int>(m_paths.size()); }
    // The entry at the index, or "" past the end.
    QString at(int index) const { return index >= 0 && index < count() ? m_paths[index] : QString(); }
    const QStringList& paths() const { return m_paths; }

private:
    CProfile& m_profile;
    QStringList m_paths;
};
