#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QTextEdit>

#include "preview/CCodedTextFile.h"

// The editor of the preview pane: plain text in any Japanese code and rich text, with character styles,
// font and colour on the selection, and find, replace and replace-all. A plain text keeps its code and line
// ends (CCodedTextFile); a file whose extension is "rtf" (any case) is rich text.
class CREditCtrl final : public QTextEdit {
    Q_OBJECT
public:
    explicit CREditCtrl(QWidget* parent);

    static bool isRichTextPath(const QString& path);

    // Loads the file: as rich text or plain text by its extension. The control is marked unchanged.
    CCodedTextFile::Status loadFile(const QString& path);
    // Saves to the path: rich text or plain text by the path's extension, or as rich text when `rich` says
    // so. False when nothing was written (the user kept the file unchanged, or writing failed and was told).
    bool saveFile(const QString& path);
    bool saveFile(const QString& path, bool rich);
    // Shows a text that is no file (the folder word, the information texts): read only, unchanged.
    void showInfoText(const QString& text);
    const CCodedTextFile& textFile() const { return m_textFile; }
    // What the last rich text held that the editor does not keep ("図", "表", ...): such a text is loaded
    // read only, since saving it would drop those parts.
    const QStringList& notKept() const { return m_notKept; }

    // The font and colour of text without a format of its own.
    void setDefaultFont(const QFont& font, const QColor& colour = Qt::black);

    // Styles on the selection (the word at the caret when nothing is selected); each marks the text changed.
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void toggleStrikeOut();
    QFont selectionFont() const;
    void setSelectionFont(const QFont& font);
    QColor selectionColour() const;
    void setSelectionColour(const QColor& colour);

    // Finds the text forward from one character after the selection's end, ignoring case; selects the match
    // and returns its start, or -1 leaving the selection as it was. find() remembers the text for findNext().
    int find(const QString& text);
    int findNext();
    // Replaces every match after the selection (the selected match itself stays) and returns the count.
    // Each search goes on after the last replacement, so a replacement that contains the searched text
    // is never searched again and the loop always ends.
    int replaceAll(const QString& findText, const QString& replaceText);

Q_SIGNALS:
    // A right button press over the text: the pane shows its menu at the global position.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int findFrom(const QString& text, int position);
    void mergeFormat(const QTextCharFormat& format);

    CCodedTextFile m_textFile;
    QStringList m_notKept;
    QString m_lastSearch;
};
