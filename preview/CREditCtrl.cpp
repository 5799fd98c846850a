#include "preview/CREditCtrl.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "catalogfile/CFileError.h"
#include "catalogfile/CSafeFileWriter.h"
#include "platform/CUserInterface.h"
#include "preview/CRtfReader.h"
#include "preview/CRtfWriter.h"

CREditCtrl::CREditCtrl(QWidget* parent) : QTextEdit(parent) {
    setObjectName("PreviewEditor");
    setAccessibleName(QStringLiteral("プレビュー"));
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setUndoRedoEnabled(true);
}

bool CREditCtrl::isRichTextPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf('.');
    return dot >= 0 && path.mid(dot + 1).compare(QStringLiteral("rtf"), Qt::CaseInsensitive) == 0;
}

CCodedTextFile::Status CREditCtrl::loadFile(const QString& path) {
    setReadOnly(false);
    m_notKept.clear();
    const bool rich = isRichTextPath(path);
    setAcceptRichText(rich);
    if (!rich) {
        const CCodedTextFile::Status status = m_textFile.load(path, *this);
        setReadOnly(status != CCodedTextFile::Status::Loaded);
        return status;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        return CCodedTextFile::Status::NotFound;
    }
    const QByteArray bytes = file.readAll();
    // Built off the view, then handed to it: the editor lays out a new document lazily, the part on screen
    // first, where text inserted into the shown document is laid out whole at once.
    auto* built = new QTextDocument(this);
    built->setDefaultFont(document()->defaultFont());
    built->setUndoRedoEnabled(false);
    CCodedTextFile::Status status = CCodedTextFile::Status::Loaded;
    QString error;
    const bool read = CRtfReader::read(bytes, *built, &error, &m_notKept);
    const QPointer<QTextDocument> previous = document();
    setDocument(built);
    built->setUndoRedoEnabled(true);
    if (previous && previous->parent() == this) {
        delete previous.data();
    }
    if (!read) {
        // What could be read is shown, read only: saving it would lose the rest of the file.
        CUserInterface::current().message(error.toStdString(), MessageIcon::Warning);
        status = CCodedTextFile::Status::NotExact;
    } else if (!m_notKept.isEmpty()) {
        status = CCodedTextFile::Status::NotExact;  // a save would drop what the editor does not keep
    }
    setReadOnly(status != CCodedTextFile::Status::Loaded);
    document()->setModified(false);
    return status;
}

bool CREditCtrl::saveFile(const QString& path) {
    return saveFile(path, isRichTextPath(path));
}

bool CREditCtrl::saveFile(const QString& path, bool rich) {
    if (!rich) {
        return m_textFile.save(path, *document()) == CCodedTextFile::SaveResult::Saved;
    }
    const QByteArray bytes = CRtfWriter::write(*document());
    if (const auto error = CSafeFileWriter::write(path.toStdString(),
                                                  std::string_view(bytes.constData(), bytes.size()))) {
        CUserInterface::current().message(error->userMessage(), MessageIcon::Error);
        return false;
    }
    document()->setModified(false);
    return true;
}

void CREditCtrl::showInfoText(const QString& text) {
    m_notKept.clear();
    setPlainText(text);
    setReadOnly(true);
    document()->setModified(false);
}

void CREditCtrl::setDefaultFont(const QFont& font, const QColor& colour) {
    document()->setDefaultFont(font);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, colour);
    setPalette(colours);
}

void CREditCtrl::mergeFormat(const QTextCharFormat& format) {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        cursor.select(QTextCursor::WordUnderCursor);
    }
    cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
    document()->setModified(true);
}

void CREditCtrl::toggleBold() {
    QTextCharFormat format;
    format.setFontWeight(currentCharFormat().fontWeight() > QFont::Medium ? QFont::Normal : QFont::Bold);
    mergeFormat(format);
}

void CREditCtrl::toggleItalic() {
    QTextCharFormat format;
    format.setFontItalic(!currentCharFormat().fontItalic());
    mergeFormat(format);
}

void CREditCtrl::toggleUnderline() {
    QTextCharFormat format;
    format.setFontUnderline(!currentCharFormat().fontUnderline());
    mergeFormat(format);
}

void CREditCtrl::toggleStrikeOut() {
    QTextCharFormat format;
    format.setFontStrikeOut(!currentCharFormat().fontStrikeOut());
    mergeFormat(format);
}

QFont CREditCtrl::selectionFont() const {
    return currentCharFormat().font();
}

void CREditCtrl::setSelectionFont(const QFont& font) {
    QTextCharFormat format;
    format.setFont(font);
    mergeFormat(format);
}

QColor CREditCtrl::selectionColour() const {
    const QBrush brush = currentCharFormat().foreground();
    return brush.style() == Qt::NoBrush ? palette().color(QPalette::Text) : brush.color();
}

void CREditCtrl::setSelectionColour(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    mergeFormat(format);
}

int CREditCtrl::findFrom(const QString& text, int position) {
    if (text.isEmpty() || position >= document()->characterCount()) {
        return -1;
    }
    const QTextCursor found = document()->find(text, position);
    if (found.isNull()) {
        return -1;
    }
    setTextCursor(found);
    ensureCursorVisible();
    return found.selectionStart();
}

int CREditCtrl::find(const QString& text) {
    m_lastSearch = text;
    return findNext();
}

int CREditCtrl::findNext() {
    return findFrom(m_lastSearch, textCursor().selectionEnd() + 1);
}

int CREditCtrl::replaceAll(const QString& findText, const QString& replaceText) {
    if (findText.isEmpty()) {
        return 0;
    }
    // From the match that the search selected (or the cursor) to the end: that match is replaced too.
    QTextCursor edit = textCursor();
    int position = edit.selectionStart();
    int count = 0;
    edit.beginEditBlock();
    while (position < document()->characterCount()) {
        QTextCursor found = document()->find(findText, position);
        if (found.isNull()) {
            break;
        }
        found.insertText(replaceText);
        position = found.position();  // after the replacement
        ++count;
    }
    edit.endEditBlock();
    return count;
}

void CREditCtrl::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT contextMenuRequested(event->globalPos());
    event->accept();
}
