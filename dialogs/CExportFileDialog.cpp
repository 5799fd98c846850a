#include "dialogs/CExportFileDialog.h"

#include "platform/CProfile.h"

namespace {

constexpr const char* kSection = "Export";

// Qt reads the patterns from the last parentheses; with the details hidden the list shows the text before
// them, so each entry reads as its description alone.
QStringList fileTypes(ExportFormat format) {
    if (format == ExportFormat::Xml) {
        return {QStringLiteral("xmlﾌｧｲﾙ(*.xml) (*.xml)")};
    }
    return {QStringLiteral("csvﾌｧｲﾙ(*.csv) (*.csv)"), QStringLiteral("全てのﾌｧｲﾙ(*.*) (*)")};
}

}  // namespace

CExportFileDialog::CExportFileDialog(ExportFormat format, CProfile& profile, QWidget* parent)
    : QFileDialog(parent), m_format(format), m_profile(profile) {
    setObjectName("ExportFileDialog");
    const bool xml = format == ExportFormat::Xml;
    setWindowTitle(xml ? QStringLiteral("XML出力ファイル") : QStringLiteral("CSV出力ファイル"));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    setNameFilters(fileTypes(format));
    setDefaultSuffix(xml ? QStringLiteral("xml") : QStringLiteral("csv"));
    const QString last = QString::fromStdString(m_profile.readString(kSection, settingName(format), ""));
    if (!last.isEmpty()) {
        selectFile(last);
    }
}

std::optional<QString> CExportFileDialog::run() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return selectedFiles().constFirst();
}

void CExportFileDialog::rememberFile(const QString& path) {
    m_profile.writeString(kSection, settingName(m_format), path.toStdString());
}

const char* CExportFileDialog::settingName(ExportFormat format) {
    return format == ExportFormat::Xml ? "xml" : "csv";
}
