#pragma once

#include <QString>
#include <functional>

#include "gui/CCommandTarget.h"

class CExtArray;
class CProfile;
class CQuilloryDoc;
class MyCug;
class QWidget;

// The main frame's option commands: "各種設定(&X)..." with the options dialog around the settings of the
// "System" section, "ブラウザ拡張機能の設定(&W)..." with the browser extension's setup, and the two extension
// list dialogs, "プレビュー不可設定(&G)..." and "テキストファイルとする拡張子(&E)...". The frame offers them
// every command after its own.
class COptionsCommands final : public CCommandTarget {
public:
    COptionsCommands(CProfile& profile, CQuilloryDoc& document, MyCug& grid, QWidget* dialogParent);

    // The application's two lists, which the extension dialogs edit (not owned).
    void setExtensionLists(CExtArray* noPreview, CExtArray* textFiles) {
        m_noPreview = noPreview;
        m_textFiles = textFiles;
    }
    // Called with the plug-in folder when the options switch the Susie plug-ins on.
    void setPluginsEnabled(std::function<void(const QString& folder)> enabled) {
        m_pluginsEnabled = std::move(enabled);
    }

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    void editOptions();
    void editExtensions(CExtArray& extensions, const char* caption, const char* explanation);
    void setUpBrowserExtension();

    CProfile& m_profile;
    CQuilloryDoc& m_document;
    MyCug& m_grid;
    QWidget* m_dialogParent;
    CExtArray* m_noPreview = nullptr;
    CExtArray* m_textFiles = nullptr;
    std::function<void(const QString&)> m_pluginsEnabled;
};
