#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

class CProfile;

// The remembered search texts of the find and replace dialogs: up to ten texts in a settings section
// ("Find" or "Replace") under "Str00" .. "Str09", the most recent first.
class CSearchHistory final {
public:
    static constexpr int kMaxEntries = 10;

    // The non-empty texts of the section, in order.
    static QStringList load(const CProfile& profile, const char* section);
    // Writes the entered text as "Str00", then the listed texts that differ from it, in list order, up
    // to "Str09".
    static void save(CProfile& profile, const char* section, const QString& entered, const QStringList& listed);

    // Fills an editable drop-down list with the section's texts, "Str00" in its edit field.
    static void fill(QComboBox& box, const CProfile& profile, const char* section);
    // Saves what the drop-down list holds after OK.
    static void store(const QComboBox& box, CProfile& profile, const char* section);
};
