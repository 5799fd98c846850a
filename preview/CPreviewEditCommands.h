#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "gui/CCommandTarget.h"

class CProfile;
class CREditCtrl;
class QFont;
class QWidget;

// The editor commands of the preview pane: clipboard, undo, select all, find, repeat, replace, the
// character styles, font and colour of rich text, and the preview font. Every command does nothing while
// the pane has no editor; the styles are enabled in rich-text mode only.
class CPreviewEditCommands final : public CCommandTarget {
public:
    struct Pane {
        std::function<CREditCtrl*()> editor;      // nullptr while the pane has none
        std::function<bool()> richTextMode;
        std::function<void(const QFont&)> setPreviewFont;  // after the font dialog's OK
        std::function<QFont()> previewFont;
    };

    CPreviewEditCommands(CProfile& profile, QWidget* dialogParent, Pane pane);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    struct EditorCommand {
        int id;
        bool style;  // a character style of rich text
        void (*run)(CPreviewEditCommands& self, CREditCtrl& editor);
    };
    // The command's entry, or nullptr when it is not an editor command.
    static const EditorCommand* editorCommand(int id);

    void find(CREditCtrl& editor);
    void repeat(CREditCtrl& editor);
    void replace(CREditCtrl& editor);
    void chooseTextFont(CREditCtrl& editor);
    void chooseTextColour(CREditCtrl& editor);
    void choosePreviewFont();

    CProfile& m_profile;
    QPointer<QWidget> m_dialogParent;
    Pane m_pane;
    QString m_lastFind;
    QString m_lastReplace;
};
