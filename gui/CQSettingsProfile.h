#pragma once

#include <QSettings>

#include "platform/CProfile.h"

// The settings of the program in ~/.config/Vemto/Quillory.conf (INI format), one group per section with
// the section and entry names the program has always used.
class CQSettingsProfile final : public CProfile {
public:
    CQSettingsProfile();

    int readInt(std::string_view section, std::string_view entry, int defaultValue) const override;
    std::string readString(std::string_view section, std::string_view entry,
                           std::string_view defaultValue) const override;
    void writeInt(std::string_view section, std::string_view entry, int value) override;
    void writeString(std::string_view section, std::string_view entry, std::string_view value) override;

    // Writes pending changes to the file.
    void flush();
    QString fileName() const { return m_settings.fileName(); }

private:
    static QString key(std::string_view section, std::string_view entry);

    mutable QSettings m_settings;
};
