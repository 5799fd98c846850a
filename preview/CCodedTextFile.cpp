#include "preview/CCodedTextFile.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "catalogfile/CFileError.h"
#include "catalogfile/CSafeFileWriter.h"
#include "platform/CUserInterface.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace {

// The line a block was read from (or last written as): its text then, its bytes and its line end.
class CLineOrigin final : public QTextBlockUserData {
public:
    CLineOrigin(QString text, QByteArray bytes) : m_text(std::move(text)), m_bytes(std::move(bytes)) {}
    QString m_text;
    QByteArray m_bytes;
    int m_lineEnd = jtext::kLineEndNone;
};

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

CCodedTextFile::Status CCodedTextFile::load(const QString& path, QTextEdit& editor) {
    QTextDocument& document = *editor.document();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Status::NotFound;
    }
    m_fileSize = file.size();
    m_stampedPath = path;
    m_stamp = CFileStamp::ofOpenFile(file.handle());
    const bool large = m_fileSize > kLargeFileBytes;
    QByteArray bytes = file.read(large ? kLargeFileShownBytes : m_fileSize);
    if (jtext::looksBinary(view(bytes))) {
        return Status::Binary;
    }
    if (large) {
        // Cut at the last line end, so that no character is cut in half.
        const qsizetype cut = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        if (cut > 0) {
            bytes.truncate(cut + 1);
        }
    }
    m_code = jtext::textCodeOf(view(bytes));
    // A UTF-8 byte order mark stays in front of the file, outside its first line.
    m_byteOrderMark = m_code == jtext::kCodeUtf8 && bytes.startsWith(kByteOrderMark);
    if (m_byteOrderMark) {
        bytes.remove(0, kByteOrderMark.size());
    }
    const std::string_view all = view(bytes);
    m_lineEnd = jtext::detectLineEnd(all);

    const std::vector<jtext::LineSpan> lines = jtext::splitLines(all);
    std::vector<QString> texts;
    texts.reserve(lines.size());
    QString joined;
    joined.reserve(bytes.size());
    bool clean = true;
    jtext::resetJisShiftState();
    for (const jtext::LineSpan& line : lines) {
        const std::string utf8 = jtext::decodeText(all.substr(line.begin, line.length), m_code);
        clean = clean && jtext::isCleanlyDecoded(utf8);
        texts.push_back(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        if (texts.size() > 1) {
            joined.append(QChar('\n'));
        }
        joined.append(texts.back());
    }
    // JIS that stays shifted across a line end reads differently line by line: an edited line, written
    // back in plain mode at its end, would change how the next line reads.
    bool shiftedAcrossLines = false;
    for (std::size_t i = 0; m_code == jtext::kCodeJis && i < lines.size() && !shiftedAcrossLines; ++i) {
        jtext::resetJisShiftState();
        const std::string alone = jtext::decodeText(all.substr(lines[i].begin, lines[i].length), m_code);
        shiftedAcrossLines = QString::fromUtf8(alone.data(), static_cast<qsizetype>(alone.size())) != texts[i];
    }
    // Through the editor, which leaves the caret at the start: the text is then laid out as the screen
    // needs it, not all at once for a caret at its end.
    editor.setPlainText(joined);
    document.setModified(false);
    if (large) {
        return Status::Beginning;
    }
    if (document.blockCount() != static_cast<int>(lines.size())) {
        return Status::NotExact;
    }
    // Each line keeps its bytes also in a read-only text, for a copy saved under another name.
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        const jtext::LineSpan& line = lines[index];
        auto* origin = new CLineOrigin(texts[index], bytes.mid(static_cast<qsizetype>(line.begin),
                                                               static_cast<qsizetype>(line.length)));
        origin->m_lineEnd = line.lineEnd;
        block.setUserData(origin);
    }
    if (shiftedAcrossLines) {
        return Status::NotExact;
    }
    return clean ? Status::Loaded : Status::StrayBytes;
}

int CCodedTextFile::lineEndOf(const QTextBlock& block) const {
    if (!block.next().isValid()) {
        return jtext::kLineEndNone;
    }
    const auto* origin = dynamic_cast<const CLineOrigin*>(block.userData());
    if (origin && origin->m_lineEnd != jtext::kLineEndNone) {
        return origin->m_lineEnd;
    }
    return m_lineEnd == jtext::kLineEndNone ? jtext::kLineEndLf : m_lineEnd;
}

int CCodedTextFile::positionOfFileOffset(const QTextDocument& document, qint64 offset) const {
    qint64 rest = offset - (m_byteOrderMark ? kByteOrderMark.size() : 0);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const auto* origin = dynamic_cast<const CLineOrigin*>(block.userData());
        const QByteArray line = origin ? origin->m_bytes : block.text().toUtf8();
        if (rest <= line.size()) {
            if (m_code == jtext::kCodeJis) {
                jtext::resetJisShiftState();
            }
            const std::string prefix = jtext::decodeText(view(line.left(std::max<qint64>(0, rest))), m_code);
            const auto length = QString::fromUtf8(prefix.data(), static_cast<qsizetype>(prefix.size())).size();
            return block.position() + static_cast<int>(std::min<qsizetype>(length, block.length() - 1));
        }
        rest -= line.size() + static_cast<qint64>(jtext::lineEndBytes(lineEndOf(block)).size());
        if (rest < 0) {
            return block.position() + block.length() - 1;
        }
    }
    return std::max(0, document.characterCount() - 1);
}

bool CCodedTextFile::encodeDocument(QTextDocument& document, int code, QByteArray& bytes, QString* badCharacter,
                                    int* badLine) const {
    const bool sameCode = code == m_code;
    std::string encoded;
    int number = 1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++number) {
        const QString text = block.text();
        const auto* origin = dynamic_cast<const CLineOrigin*>(block.userData());
        if (sameCode && origin && origin->m_text == text) {
            bytes.append(origin->m_bytes);
        } else {
            const QByteArray utf8 = text.toUtf8();
            std::size_t bad = 0;
            if (!jtext::encodeText(view(utf8), code, encoded, &bad)) {
                const std::size_t length = jtext::decodeUtf8(view(utf8), bad).length;
                *badCharacter = QString::fromUtf8(utf8.constData() + bad, static_cast<qsizetype>(length));
                *badLine = number;
                return false;
            }
            bytes.append(encoded.data(), static_cast<qsizetype>(encoded.size()));
        }
        // The last block ends the file without a line end (a file ending in one has an empty last line).
        const std::string_view end = jtext::lineEndBytes(lineEndOf(block));
        bytes.append(end.data(), static_cast<qsizetype>(end.size()));
    }
    return true;
}

CCodedTextFile::SaveResult CCodedTextFile::save(const QString& path, QTextDocument& document) {
    if (path == m_stampedPath && m_stamp && CFileStamp::of(path.toStdString()) != m_stamp &&
        !CUserInterface::current().askYesNo(
            "このファイルは読み込んだ後で他のプログラムによって変更されています。上書きしますか？")) {
        return SaveResult::KeptUnchanged;
    }
    QByteArray bytes;
    QString badCharacter;
    int badLine = 0;
    if (!encodeDocument(document, m_code, bytes, &badCharacter, &badLine)) {
        const QString question =
            QStringLiteral("%1行目の「%2」は、このファイルの文字コード（%3）では保存できません。\n"
                           "UTF-8で保存しますか？\n「いいえ」を選ぶとファイルは変更されません。")
                .arg(badLine)
                .arg(badCharacter, QString::fromLatin1(jtext::codeName(m_code)));
        if (!CUserInterface::current().askYesNo(question.toStdString())) {
            return SaveResult::KeptUnchanged;
        }
        bytes.clear();
        encodeDocument(document, jtext::kCodeUtf8, bytes, &badCharacter, &badLine);
        m_code = jtext::kCodeUtf8;
    }
    const QByteArray file = m_byteOrderMark && m_code == jtext::kCodeUtf8 ? kByteOrderMark + bytes : bytes;
    if (const auto error = CSafeFileWriter::write(path.toStdString(), view(file))) {
        CUserInterface::current().message(error->userMessage(), MessageIcon::Error);
        return SaveResult::Failed;
    }
    if (m_code == jtext::kCodeNone && jtext::detectJapaneseCode(view(bytes)) != jtext::kCodeNone) {
        m_code = jtext::kCodeUtf8;  // plain ASCII with more typed in is written as UTF-8
    }
    m_fileSize = file.size();
    m_stampedPath = path;
    m_stamp = CFileStamp::of(path.toStdString());
    rememberOrigins(document, bytes);
    document.setModified(false);
    return SaveResult::Saved;
}

void CCodedTextFile::rememberOrigins(QTextDocument& document, const QByteArray& written) {
    const std::vector<jtext::LineSpan> lines = jtext::splitLines(view(written));
    if (static_cast<int>(lines.size()) != document.blockCount()) {
        return;  // a text without line ends had lines added: new origins come with the next load
    }
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        const jtext::LineSpan& line = lines[index];
        auto* origin = new CLineOrigin(block.text(), written.mid(static_cast<qsizetype>(line.begin),
                                                                 static_cast<qsizetype>(line.length)));
        origin->m_lineEnd = line.lineEnd;
        block.setUserData(origin);
    }
}
