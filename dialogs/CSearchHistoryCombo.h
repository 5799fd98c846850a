#pragma once

class CProfile;
class QComboBox;

// The editable drop-down list of a find or replace dialog over a search history (CSearchHistory).
class CSearchHistoryCombo final {
public:
    // Fills the list with the section's texts, the most recent ("Str00") in its edit field, selected.
    static void fill(QComboBox& box, const CProfile& profile, const char* section);
    // Saves what the list holds after OK: the text entered first, then the listed ones.
    static void store(const QComboBox& box, CProfile& profile, const char* section);
};
