#include "app/COptionsCommands.h"

#include "dialogs/CExtSetDlg.h"
#include "dialogs/CSetDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CExtArray.h"
#include "platform/CProfile.h"
#include "views/MyCug.h"

namespace {

constexpr const char* kSystem = "System";

}  // namespace

COptionsCommands::COptionsCommands(CProfile& profile, CQuilloryDoc& document, MyCug& grid,
                                   QWidget* dialogParent)
    : m_profile(profile), m_document(document), m_grid(grid), m_dialogParent(dialogParent) {}

bool COptionsCommands::onCommand(int id) {
    switch (id) {
        case cmd::kOptions:
            editOptions();
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
