#include "preview/CPreviewEditCommands.h"

#include <QColorDialog>
#include <QFontDialog>

#include "dialogs/CFindDlg.h"
#include "dialogs/CReplaceDlg.h"
#include "dialogs/CReplaceInfoDlg.h"
#include "gui/CommandIds.h"
#include "platform/CUserInterface.h"
#include "preview/CREditCtrl.h"

namespace {

void notFound() {
    CUserInterface::current().message("見つかりません", MessageIcon::Information);
}

}  // namespace

// The editor commands, each with what it does to the editor. Style commands act in rich-text mode only.
const CPreviewEditCommands::EditorCommand* CPreviewEditCommands::editorCommand(int id) {
    using Self = CPreviewEditCommands;
    static const EditorCommand kCommands[] = {
        {cmd::kEditCopy, false, [](Self&, CREditCtrl& e) { e.copy(); }},
        {cmd::kEditCut, false, [](Self&, CREditCtrl& e) { e.cut(); }},
        {cmd::kEditPaste, false, [](Self&, CREditCtrl& e) { e.paste(); }},
        {cmd::kEditUndo, false, [](Self&, CREditCtrl& e) { e.undo(); }},
        {cmd::kEditSelectAll, false, [](Self&, CREditCtrl& e) { e.selectAll(); }},
        {cmd::kEditFind, false, [](Self& self, CREditCtrl& e) { self.find(e); }},
        {cmd::kEditRepeat, false, [](Self& self, CREditCtrl& e) { self.repeat(e); }},
        {cmd::kEditReplace, false, [](Self& self, CREditCtrl& e) { self.replace(e); }},
        {cmd::kBold, true, [](Self&, CREditCtrl& e) { e.toggleBold(); }},
        {cmd::kItalic, true, [](Self&, CREditCtrl& e) { e.toggleItalic(); }},
        {cmd::kUnderline, true, [](Self&, CREditCtrl& e) { e.toggleUnderline(); }},
        {cmd::kStrikeOut, true, [](Self&, CREditCtrl& e) { e.toggleStrikeOut(); }},
        {cmd::kTextFont, true, [](Self& self, CREditCtrl& e) { self.chooseTextFont(e); }},
        {cmd::kTextColour, true, [](Self& self, CREditCtrl& e) { self.chooseTextColour(e); }},
    };
    for (const EditorCommand& command : kCommands) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

CPreviewEditCommands::CPreviewEditCommands(CProfile& profile, QWidget* dialogParent, Pane pane)
    : m_profile(profile), m_dialogParent(dialogParent), m_pane(std::move(pane)) {}

bool CPreviewEditCommands::onCommand(int id) {
    if (id == cmd::kPreviewFont || id == cmd::kFontSettings) {
        choosePreviewFont();
        return true;
    }
    const EditorCommand* command = editorCommand(id);
    if (!command) {
        return false;
    }
    CREditCtrl* editor = m_pane.editor();
    if (editor && (!command->style || m_pane.richTextMode())) {
        command->run(*this, *editor);
    }
    return true;
}

bool CPreviewEditCommands::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kPreviewFont || id == cmd::kFontSettings) {
        state.enabled = true;
        return true;
    }
    const EditorCommand* command = editorCommand(id);
    if (!command) {
        return false;
    }
    if (!command->style) {
        state.enabled = true;
        return true;
    }
    CREditCtrl* editor = m_pane.editor();
    state.enabled = editor && m_pane.richTextMode();
    if (state.enabled) {
        const QTextCharFormat format = editor->currentCharFormat();
        state.checked = (id == cmd::kBold && format.fontWeight() > QFont::Medium) ||
                        (id == cmd::kItalic && format.fontItalic()) ||
                        (id == cmd::kUnderline && format.fontUnderline()) ||
                        (id == cmd::kStrikeOut && format.fontStrikeOut());
    }
    return true;
}

void CPreviewEditCommands::find(CREditCtrl& editor) {
    CFindDlg dialog(m_profile, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_lastFind = dialog.findText();
    if (editor.find(m_lastFind) < 0) {
        notFound();
    }
}

void CPreviewEditCommands::repeat(CREditCtrl& editor) {
    if (editor.findNext() < 0) {
        notFound();
    }
}

void CPreviewEditCommands::replace(CREditCtrl& editor) {
    CReplaceDlg dialog(m_profile, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_lastFind = dialog.findText();
    m_lastReplace = dialog.replaceText();
    if (editor.find(m_lastFind) < 0) {
        notFound();
        return;
    }
    CReplaceInfoDlg::Steps steps;
    steps.replaceAndFindNext = [this, &editor] {
        if (editor.textCursor().hasSelection()) {
            editor.insertPlainText(m_lastReplace);
        }
        return editor.findNext() >= 0;
    };
    steps.findNext = [&editor] { return editor.findNext() >= 0; };
    steps.replaceAll = [this, &editor] { return editor.replaceAll(m_lastFind, m_lastReplace); };
    CReplaceInfoDlg step(std::move(steps), m_dialogParent);
    step.exec();
}

void CPreviewEditCommands::chooseTextFont(CREditCtrl& editor) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, editor.selectionFont(), m_dialogParent);
    if (ok) {
        editor.setSelectionFont(font);
    }
}

void CPreviewEditCommands::chooseTextColour(CREditCtrl& editor) {
    const QColor colour = QColorDialog::getColor(editor.selectionColour(), m_dialogParent);
    if (colour.isValid()) {
        editor.setSelectionColour(colour);
    }
}

void CPreviewEditCommands::choosePreviewFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_pane.previewFont(), m_dialogParent);
    if (ok) {
        m_pane.setPreviewFont(font);
    }
}
