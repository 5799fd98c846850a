#include "gui/CQSettingsProfile.h"

CQSettingsProfile::CQSettingsProfile()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vemto"),
                 QStringLiteral("Quillory")) {}

QString CQSettingsProfile::key(std::string_view section, std::string_view entry) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}

int CQSettingsProfile::readInt(std::string_view section, std::string_view entry, int defaultValue) const {
    const QVariant value = m_settings.value(key(section, entry));
    if (!value.isValid()) {
        return defaultValue;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : defaultValue;
}

std::string CQSettingsProfile::readString(std::string_view section, std::string_view entry,
                                          std::string_view defaultValue) const {
    const QVariant value = m_settings.value(key(section, entry));
    if (!value.isValid()) {
        return std::string(defaultValue);
    }
    // A value written as a list (a string with commas read back by QSettings) is joined again.
    if (value.userType() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void CQSettingsProfile::writeInt(std::string_view section, std::string_view entry, int value) {
    m_settings.setValue(key(section, entry), value);
}

void CQSettingsProfile::writeString(std::string_view section, std::string_view entry,
                                    std::string_view value) {
    m_settings.setValue(key(section, entry),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void CQSettingsProfile::flush() {
    m_settings.sync();
}
