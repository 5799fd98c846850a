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

bool isStyleCommand(int id) {
    return id == cmd::kBold || id == cmd::kItalic || id == cmd::kUnderline || id == cmd::kStrikeOut ||
           id == cmd::kTextFont || id == cmd::kTextColour;
}

}  // namespace

CPreviewEditCommands::CPreviewEditCommands(CProfile& profile, QWidget* dialogParent, Pane pane)
    : m_profile(profile), m_dialogParent(dialogParent), m_pane(std::move(pane)) {}

bool CPreviewEditCommands::onCommand(int id) {
    if (id == cmd::kPreviewFont || id == cmd::kFontSettings) {
        choosePreviewFont();
        return true;
    }
    CREditCtrl* editor = m_pane.editor();
    switch (id) {
        case cmd::kEditCopy:
        case cmd::kEditCut:
        case cmd::kEditPaste:
        case cmd::kEditUndo:
        case cmd::kEditSelectAll:
        case cmd::kEditFind:
        case cmd::kEditRepeat:
        case cmd::kEditReplace:
            break;
        default:
            if (!isStyleCommand(id)) {
                return false;
            }
            if (!m_pane.richTextMode()) {
                return true;
            }
    }
    if (!editor) {
        return true;
    }
    switch (id) {
        case cmd::kEditCopy:
            editor->copy();
            break;
        case cmd::kEditCut:
            editor->cut();
            break;
        case cmd::kEditPaste:
            editor->paste();
            break;
        case cmd::kEditUndo:
            editor->undo();
            break;
        case cmd::kEditSelectAll:
            editor->selectAll();
            break;
        case cmd::kEditFind:
            find(*editor);
            break;
        case cmd::kEditRepeat:
            repeat(*editor);
            break;
        case cmd::kEditReplace:
            replace(*editor);
            break;
        case cmd::kBold:
            editor->toggleBold();
            break;
        case cmd::kItalic:
            editor->toggleItalic();
            break;
        case cmd::kUnderline:
            editor->toggleUnderline();
            break;
        case cmd::kStrikeOut:
            editor->toggleStrikeOut();
            break;
        case cmd::kTextFont:
            chooseTextFont(*editor);
            break;
        case cmd::kTextColour:
            chooseTextColour(*editor);
            break;
        default:
            break;
    }
    return true;
}

bool CPreviewEditCommands::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kPreviewFont:
        case cmd::kFontSettings:
        case cmd::kEditCopy:
        case cmd::kEditCut:
        case cmd::kEditPaste:
        case cmd::kEditUndo:
        case cmd::kEditSelectAll:
        case cmd::kEditFind:
        case cmd::kEditRepeat:
        case cmd::kEditReplace:
            state.enabled = true;
            return true;
        default:
            break;
    }
    if (!isStyleCommand(id)) {
        return false;
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
