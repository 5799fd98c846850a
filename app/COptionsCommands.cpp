#include "app/COptionsCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "desktop/CBrowserHostInstaller.h"
#include "dialogs/CBrowserExtensionDlg.h"
#include "dialogs/CExtSetDlg.h"
#include "dialogs/CSetDlg.h"
#include "gui/AppUtil.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CExtArray.h"
#include "platform/CProfile.h"
#include "views/MyCug.h"

namespace {

constexpr const char* kSystem = "System";

std::string homeFolder() {
    return QDir::homePath().toStdString();
}

std::string configHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

// Where the extension is copied for the browsers that load it from a folder: a path that stays the same
// wherever the program itself is.
QString userExtensionFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quillory/browser-extension");
}

QString lines(const std::vector<std::string>& paths) {
    QString text;
    for (const std::string& path : paths)
        text += QStringLiteral("\n") + QString::fromStdString(path);
    return text;
}

// Copies the shipped extension to the user's folder; the text that says why it failed, "" on success.
QString prepareExtensionFolder() {
    const std::string source = CBrowserHostInstaller::dataPath("browser-extension");
    if (source.empty())
        return QStringLiteral("拡張機能のフォルダ (browser-extension) が見つかりません。");
    const auto copied = CBrowserHostInstaller::copyExtension(source, userExtensionFolder().toStdString());
    return copied.ok() ? QString()
                       : QStringLiteral("拡張機能のフォルダを用意できませんでした。\n") +
                             QString::fromStdString(copied.error);
}

QString registerBrowserHost() {
    const std::string host = CBrowserHostInstaller::hostPath();
    if (!QFileInfo(QString::fromStdString(host)).isExecutable())
        return QStringLiteral("連携プログラムが見つかりません。\n") + QString::fromStdString(host);
    const auto installed = CBrowserHostInstaller::install(host, homeFolder(), configHome());
    QString text;
    if (!installed.written.empty())
        text = QStringLiteral("連携プログラムを登録しました。書き込んだファイル:") + lines(installed.written);
    if (!installed.ok())
        text += QStringLiteral("%1次のファイルを書き込めませんでした。\n%2")
                    .arg(text.isEmpty() ? QString() : QStringLiteral("\n"),
                         QString::fromStdString(installed.error));
    const QString folderProblem = prepareExtensionFolder();
    return folderProblem.isEmpty() ? text : text + QStringLiteral("\n") + folderProblem;
}

QString addToFirefox() {
    const std::string xpi = CBrowserHostInstaller::dataPath("quillory-capture.xpi");
    if (xpi.empty())
        return QStringLiteral("拡張機能のファイル (quillory-capture.xpi) が見つかりません。");
    const QString firefox = QString::fromStdString(CBrowserHostInstaller::firefoxProgram());
    if (firefox.isEmpty())
        return QStringLiteral("Firefox (firefox-esr、firefox) が見つかりません。");
    if (!QProcess::startDetached(firefox, {QString::fromStdString(xpi)}))
        return QStringLiteral("Firefoxを起動できませんでした。\n") + firefox;
    return QStringLiteral("Firefoxで拡張機能を開きました。Firefoxの確認で「追加」を選んでください。");
}

QString openExtensionFolder() {
    const QString problem = prepareExtensionFolder();
    if (!problem.isEmpty())
        return problem;
    if (!apputil::shellOpen(userExtensionFolder()))
        return QStringLiteral("フォルダを開けませんでした。\n") + userExtensionFolder();
    return QStringLiteral("拡張機能を次のフォルダに用意しました。\n") + userExtensionFolder();
}

}  // namespace

COptionsCommands::COptionsCommands(CProfile& profile, CQuilloryDoc& document, MyCug& grid,
                                   QWidget* dialogParent)
    : m_profile(profile), m_document(document), m_grid(grid), m_dialogParent(dialogParent) {}

bool COptionsCommands::onCommand(int id) {
    switch (id) {
        case cmd::kOptions:
            editOptions();
            return true;
        case cmd::kBrowserExtensionSettings:
            setUpBrowserExtension();
            return true;
        case cmd::kNoPreviewExtensions:
            if (m_noPreview) {
                editExtensions(*m_noPreview, "プレビュー不可の設定",
                               "プレビューできない拡張子を登録してください。");
            }
            return true;
        case cmd::kTextFileExtensions:
            if (m_textFiles) {
                editExtensions(*m_textFiles, "テキストファイル拡張子の設定",
                               "テキストファイルとする拡張子を登録してください。");
            }
            return true;
        default:
            return false;
    }
}

bool COptionsCommands::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kOptions:
        case cmd::kBrowserExtensionSettings:
            return true;
        case cmd::kNoPreviewExtensions:
            state.enabled = m_noPreview != nullptr;
            return true;
        case cmd::kTextFileExtensions:
            state.enabled = m_textFiles != nullptr;
            return true;
        default:
            return false;
    }
}

void COptionsCommands::editOptions() {
    CSetDlg::Values before;
    before.dropList = m_grid.dropListMode();
    before.typing = m_grid.typingMode();
    before.useSusiePlugin = m_profile.readInt(kSystem, "UseSusiePlugin", 0) != 0;
    before.pluginFolder = QString::fromStdString(m_profile.readString(kSystem, "SusiePlugin", ""));
    before.folderApplication = QString::fromStdString(m_profile.readString(kSystem, "FolderSoft", ""));
    before.folderArgument = m_profile.readInt(kSystem, "FolderArg", 0) != 0;
    before.openLastCatalog = m_profile.readInt(kSystem, "InitFile", 1) != 0;
    before.confirmTextSave = m_profile.readInt(kSystem, "Save", 1) != 0;

    CSetDlg dialog(m_dialogParent);
    dialog.setValues(before);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const CSetDlg::Values after = dialog.values();
    m_grid.setModes(after.dropList, after.typing);
    if (after.useSusiePlugin && !before.useSusiePlugin && m_pluginsEnabled) {
        m_pluginsEnabled(after.pluginFolder);
    }
    m_profile.writeInt(kSystem, "DropList", after.dropList ? 1 : 0);
    m_profile.writeInt(kSystem, "StrEdit", after.typing ? 1 : 0);
    m_profile.writeInt(kSystem, "UseSusiePlugin", after.useSusiePlugin ? 1 : 0);
    m_profile.writeString(kSystem, "SusiePlugin", after.pluginFolder.toStdString());
    m_profile.writeString(kSystem, "FolderSoft", after.folderApplication.toStdString());
    m_profile.writeInt(kSystem, "FolderArg", after.folderArgument ? 1 : 0);
    m_profile.writeInt(kSystem, "InitFile", after.openLastCatalog ? 1 : 0);
    m_profile.writeInt(kSystem, "Save", after.confirmTextSave ? 1 : 0);
    m_document.updateAllViews(nullptr, hint::kListRefresh);
}

void COptionsCommands::editExtensions(CExtArray& extensions, const char* caption, const char* explanation) {
    CExtSetDlg dialog(QString::fromUtf8(caption), QString::fromUtf8(explanation), extensions.extensions(),
                      m_dialogParent);
    dialog.exec();
}

void COptionsCommands::setUpBrowserExtension() {
    CBrowserExtensionDlg::Actions actions;
    actions.registerHost = registerBrowserHost;
    actions.registered = [] { return CBrowserHostInstaller::installed(homeFolder(), configHome()); };
    actions.addToFirefox = addToFirefox;
    actions.openFolder = openExtensionFolder;
    actions.folder = userExtensionFolder();
    CBrowserExtensionDlg dialog(std::move(actions), m_dialogParent);
    dialog.exec();
}
