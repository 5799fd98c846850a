#include "dialogs/CSearchHistory.h"

#include <QLineEdit>

#include "platform/CProfile.h"

namespace {

std::string entryName(int index) {
    return QStringLiteral("Str%1").arg(index, 2, 10, QChar('0')).toStdString();
}

}  // namespace

QStringList CSearchHistory::load(const CProfile& profile, const char* section) {
    QStringList texts;
    for (int i = 0; i < kMaxEntries; ++i) {
        const std::string text = profile.readString(section, entryName(i), "");
        if (!text.empty()) {
            texts.append(QString::fromStdString(text));
        }
    }
    return texts;
}

void CSearchHistory::save(CProfile& profile, const char* section, const QString& entered,
                          const QStringList& listed) {
    profile.writeString(section, entryName(0), entered.toStdString());
    int next = 1;
    for (const QString& text : listed) {
        if (next >= kMaxEntries) {
            break;
        }
        if (text != entered) {
            profile.writeString(section, entryName(next++), text.toStdString());
        }
    }
}

void CSearchHistory::fill(QComboBox& box, const CProfile& profile, const char* section) {
    const QStringList texts = load(profile, section);
    box.addItems(texts);
    box.setEditText(texts.value(0));
    if (QLineEdit* edit = box.lineEdit()) {
        edit->selectAll();
    }
}

void CSearchHistory::store(const QComboBox& box, CProfile& profile, const char* section) {
    QStringList listed;
    for (int i = 0; i < box.count(); ++i) {
        listed.append(box.itemText(i));
    }
    save(profile, section, box.currentText(), listed);
}
