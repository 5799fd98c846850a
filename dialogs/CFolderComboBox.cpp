#include "dialogs/CFolderComboBox.h"

#include "gui/AppUtil.h"
#include "platform/CProfile.h"

CFolderComboBox::CFolderComboBox(CProfile& profile, QString section, QString keyPrefix, QWidget* parent)
    : QComboBox(parent),
      m_profile(profile),
      m_section(std::move(section)),
      m_keyPrefix(std::move(keyPrefix)) {
    setEditable(false);
    m_picker = [](QWidget* owner, const QString& start) {
        return apputil::pickFolder(owner, QString(), start);
    };
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_currentFolder = itemText(index);
        }
    });
}

std::string CFolderComboBox::entryName(int index) const {
    return QStringLiteral("%1%2").arg(m_keyPrefix).arg(index, 2, 10, QLatin1Char('0')).toStdString();
}

void CFolderComboBox::load() {
    const QSignalBlocker blocker(this);
    clear();
    const std::string section = m_section.toStdString();
    int selected = -1;
    for (int i = 0; i < kMaxFolders; ++i) {
        const QString folder = QString::fromStdString(m_profile.readString(section, entryName(i), ""));
        if (folder.isEmpty()) {
            continue;
        }
        addItem(folder);
        if (selected < 0 && folder == m_currentFolder) {
            selected = count() - 1;
        }
    }
    if (m_currentFolder.isEmpty()) {
        m_currentFolder = QString::fromStdString(m_profile.readString(section, entryName(0), ""));
        if (m_currentFolder.isEmpty()) {
            m_currentFolder = apputil::defaultCatalogFolder();
            addItem(m_currentFolder);
        }
        selected = findText(m_currentFolder);
    }
    setCurrentIndex(selected);
}

bool CFolderComboBox::browse() {
    const std::optional<QString> chosen = m_picker(this, m_currentFolder);
    if (chosen) {
        chooseFolder(*chosen);
    }
    return chosen.has_value();
}

void CFolderComboBox::chooseFolder(const QString& folder) {
    const QSignalBlocker blocker(this);
    m_currentFolder = folder;
    for (int i = count() - 1; i >= 0; --i) {
        if (itemText(i) == folder) {
            removeItem(i);
        }
    }
    insertItem(0, folder);
    setCurrentIndex(0);
}

void CFolderComboBox::save() const {
    const std::string section = m_section.toStdString();
    const int selected = currentIndex();
    int key = 0;
    if (selected >= 0) {
        m_profile.writeString(section, entryName(key++), itemText(selected).toStdString());
    }
    for (int i = 0; i < count() && key < kMaxFolders; ++i) {
        if (i != selected) {
            m_profile.writeString(section, entryName(key++), itemText(i).toStdString());
        }
    }
}
