#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

class CProfile;

// The two kinds of export file.
enum class ExportFormat : int { Xml, Csv };

// The save dialog of the XML and CSV exports: its title, file types and default extension follow the
// format; it starts at the file of the last export of that format ("Export" / "xml" or "csv") and asks
// before overwriting. Qt's own dialog, the same on every desktop, so that tests can answer it.
class CExportFileDialog final : public QFileDialog {
    Q_OBJECT
public:
    CExportFileDialog(ExportFormat format, CProfile& profile, QWidget* parent = nullptr);

    // Shows the dialog: the chosen path, or nothing when the user cancelled.
    std::optional<QString> run();
    // Keeps the path as the format's last export file, where the next dialog starts.
    void rememberFile(const QString& path);

    // The setting in section "Export" that keeps the last file of the format.
    static const char* settingName(ExportFormat format);

private:
    ExportFormat m_format;
    CProfile& m_profile;
};
