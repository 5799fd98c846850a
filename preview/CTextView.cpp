#include "preview/CTextView.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTextBlock>
#include <QVBoxLayout>

#include "gui/CQuilloryDoc.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "platform/CFileIdentity.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"
#include "preview/CImageView.h"
#include "preview/CPreviewEditCommands.h"
#include "preview/CPreviewFont.h"
#include "preview/CPreviewPages.h"
#include "preview/CREditCtrl.h"
#include "preview/CViewerChoice.h"
#include "preview/CWebBrowser.h"
#include "preview/CWebTitleCommand.h"
#include "text/TextCodec.h"

namespace {

constexpr const char* kViewSection = "View";
constexpr const char* kBlank = "about:blank";
enum MediaKind { kNoMedia, kVideo, kAudio };

}  // namespace

CTextView::CTextView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("TextView");
    setAccessibleName(QStringLiteral("プレビュー"));
    document.setCommandView(CQuilloryDoc::PassedCommands::Image, this);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    CProfile& profile = document.profile();
    m_browserMode = profile.readInt(kViewSection, "BrowserMode", 0) != 0;
    m_font = CPreviewFont::read(profile);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_note = new QLabel(this);
    m_note->setObjectName("PreviewNote");
    m_note->setWordWrap(true);
    m_note->setMargin(4);
    m_note->setStyleSheet(QStringLiteral("background: #fff8d0; color: black;"));
    m_note->hide();
    layout->addWidget(m_note);
    m_browser = new CWebBrowser(this);
    m_browser->setObjectName("PreviewBrowser");
    m_browser->hide();
    layout->addWidget(m_browser, 1);
    m_imageView = new CImageView(profile, this);
    m_imageView->setObjectName("PreviewImage");
    m_imageView->hide();
    layout->addWidget(m_imageView, 1);
    connect(m_imageView, &CImageView::hintRequested, this,
            [this](int hintValue) { this->document().updateAllViews(this, hintValue); });

    CPreviewEditCommands::Pane pane;
    pane.editor = [this] { return m_editor.data(); };
    pane.richTextMode = [this] { return m_mode == Mode::RichText; };
    pane.previewFont = [this] { return m_font; };
    pane.setPreviewFont = [this](const QFont& font) { setPreviewFont(font); };
    m_editCommands = std::make_unique<CPreviewEditCommands>(profile, this, std::move(pane));
    m_titleCommand = std::make_unique<CWebTitleCommand>(document, [this] {
        CWebTitleCommand::Shown shown;
        CFileItem* item = currentItem();
        if (m_mode == Mode::Browser && item && item->kind() == ItemKind::Url) {
            shown.item = item;
            shown.pageTitle = pageTitle();
        }
        return shown;
    });
}

CTextView::~CTextView() = default;

CREditCtrl* CTextView::editor() const {
    return m_editor.data();
}

CFileItem* CTextView::currentItem() const {
    return m_currentItem ? m_currentItem() : nullptr;
}

QString CTextView::note() const {
    return m_note->isHidden() ? QString() : m_note->text();
}

void CTextView::setNote(const QString& text) {
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

// ---- document updates and commands ----

void CTextView::onUpdate(CQuilloryView* sender, int hintValue) {
    (void)sender;
    // A hidden preview row reads nothing: showing the row again shows the current item.
    if (hint::has(hintValue, hint::kDisplayedItems | hint::kCurrentItem) && !isHidden()) {
        rebuildPreview();
    }
    if (!m_browserShown) {
        update();
    }
}

bool CTextView::onCommand(int id) {
    if (isImageCommand(id)) {
        return m_mode == Mode::Image && m_imageView->onCommand(id);
    }
    switch (id) {
        case cmd::kPreviewCurrent:
            rebuildPreview();
            return true;
        case cmd::kBrowserMode:
            toggleBrowserMode();
            return true;
        case cmd::kBrowserBlank:
            sendBrowserToBlankPage();
            return true;
        case cmd::kFileSave:
            saveText();
            return true;
        case cmd::kFileSaveAs:
            saveTextAs();
            return true;
        case cmd::kSelectSearchHit:
            selectSearchHit();
            return true;
        case cmd::kEditItem:
        case cmd::kRemoveItem:
            if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
                return list->onCommand(id);
            }
            return true;
        default:
            return m_editCommands->onCommand(id);
    }
}

bool CTextView::onUpdateCommand(int id, CCommandState& state) {
    if (isImageCommand(id)) {
        if (m_mode == Mode::Image) {
            return m_imageView->onUpdateCommand(id, state);
        }
        state.enabled = false;
        return true;
    }
    switch (id) {
        case cmd::kBrowserMode:
            state.enabled = true;
            state.checked = m_browserMode;
            return true;
        case cmd::kFileSaveAs:
            state.enabled = m_mode != Mode::Image;
            return true;
        case cmd::kPreviewCurrent:
        case cmd::kBrowserBlank:
        case cmd::kFileSave:
        case cmd::kSelectSearchHit:
            state.enabled = true;
            return true;
        case cmd::kEditItem:
        case cmd::kRemoveItem:
            if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
                return list->onUpdateCommand(id, state);
            }
            return false;
        default:
            return m_editCommands->onUpdateCommand(id, state);
    }
}

void CTextView::toggleBrowserMode() {
    // Leaving browser mode, the web view first goes to a page of its own, letting go of the document.
    if (m_browserMode) {
        sendBrowserToBlankPage();
    }
    m_browserMode = !m_browserMode;
    document().profile().writeInt(kViewSection, "BrowserMode", m_browserMode ? 1 : 0);
    rebuildPreview();
}

void CTextView::sendBrowserToBlankPage() {
    CFileItem* item = currentItem();
    QString error;
    const QString page = CPreviewPages::writeBlankInfoPage(item ? m_path : QString(), &error);
    if (!error.isEmpty()) {
        CUserInterface::current().message(error.toStdString(), MessageIcon::Error);
    }
    navigate(page);
}

// ---- the save rule and saving ----

void CTextView::applySaveRule() {
    if (!m_editor || m_editor->isReadOnly() || !m_editor->document()->isModified()) {
        return;
    }
    if (document().profile().readInt("System", "Save", 1) == 0 ||
        CUserInterface::current().askYesNo("変更されています。保存しますか？")) {
        saveText();
    }
}

void CTextView::aboutToClose() {
    applySaveRule();
}

void CTextView::saveText() {
    if (!m_editor || m_path.isEmpty() || m_editor->isReadOnly()) {
        return;
    }
    if (m_mode == Mode::Text || m_mode == Mode::RichText) {
        CWaitCursor wait;
        m_editor->saveFile(m_path, m_mode == Mode::RichText);
    }
}

// A read-only view (the beginning of a large file, an information text, a text the editor cannot hold
// exactly) is not the file's whole content: it is written only under another name, and the pane stays on
// the file it shows. An editable text becomes the chosen file, as it always did.
void CTextView::saveTextAs() {
    if (m_mode == Mode::Image || !m_editor) {
        return;
    }
    const bool wholeFile = !m_editor->isReadOnly();
    QString proposal = m_path.isEmpty() ? QStringLiteral("*.txt") : m_path;
    if (!wholeFile && !m_path.isEmpty()) {
        proposal = QFileInfo(m_path).absolutePath();
    }
    QFileDialog dialog(this, QStringLiteral("名前を付けて保存"), proposal, QStringLiteral("Textﾌｧｲﾙ(*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (wholeFile) {
        m_path = chosen;
        saveText();
        return;
    }
    if (isSameFile(chosen, m_path)) {
        CUserInterface::current().message(
            "表示している内容はこのファイルの全体ではないため、このファイルには保存できません。別の名前を指定してください。",
            MessageIcon::Warning);
        return;
    }
    CWaitCursor wait;
    m_editor->saveFile(chosen, m_mode == Mode::RichText);
}

bool CTextView::isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    const auto first = CFileIdentity::of(QFile::encodeName(a).toStdString());
    const auto second = CFileIdentity::of(QFile::encodeName(b).toStdString());
    if (first && second) {
        return first->device() == second->device() && first->inode() == second->inode();
    }
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// ---- choosing the viewer ----

void CTextView::rebuildPreview() {
    ++m_previewRebuilds;
    if (m_editor) {
        applySaveRule();
    }
    setNote(QString());
    CFileItem* item = currentItem();
    if (!item) {
        clearPane();
        return;
    }
    const std::string catalogFolder = document().catalog().catalogFolder();
    switch (item->kind()) {
        case ItemKind::Folder:
            previewFolder(QString::fromStdString(item->resolve(catalogFolder)));
            return;
        case ItemKind::Url:
            previewAddress(QString::fromStdString(std::string(item->path())));
            return;
        case ItemKind::File:
            break;
    }
    QString path = QString::fromStdString(item->resolve(catalogFolder));
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        // The file may have moved: its shortcut in the catalog folder knows where to.
        item->refresh(catalogFolder, document().catalog().useShortcuts(), true);
        path = QString::fromStdString(item->resolve(catalogFolder));
    }
    if (path.isEmpty()) {
        clearPane();
        return;
    }
    previewFile(path);
}

void CTextView::clearPane() {
    destroyEditor();
    if (m_browserShown) {
        m_path = QString::fromLatin1(kBlank);
        navigate(m_path);
    }
}

void CTextView::previewFolder(const QString& folder) {
    m_path = folder;
    if (m_browserMode && !QFileInfo::exists(folder)) {
        showMissingFile();
        return;
    }
    if (!m_browserMode) {
        hideBrowser();
        m_mode = Mode::Text;
        ensureEditor()->showInfoText(QStringLiteral("ディレクトリ"));
        return;
    }
    destroyEditor();
    navigate(folder);
    showBrowser();
    m_mode = Mode::Browser;
}

void CTextView::previewAddress(const QString& address) {
    // The web view does not load the page it already shows again: a change elsewhere in the catalog leaves
    // the page the user reads as it is.
    m_path = address;
    destroyEditor();
    showBrowser();
    navigate(address);
    m_mode = Mode::Browser;
}

void CTextView::previewFile(const QString& path) {
    m_path = path;
    m_mode = Mode::Text;
    const QString extension = CViewerChoice::extensionOf(path);
    switch (CViewerChoice::choose(path, m_browserMode, m_noPreview, m_browser->locationUrl())) {
        case CViewerChoice::Viewer::Image:
            previewImage(path);
            return;
        case CViewerChoice::Viewer::Binary:
            previewInfo(infoText(extension + QStringLiteral("ファイル")), extension + QStringLiteral(" ファイル"),
                        kNoMedia);
            return;
        case CViewerChoice::Viewer::IdeaTree:
            previewInfo(QStringLiteral("アイデアツリーファイル"), QStringLiteral("アイデアツリーファイル"), kNoMedia);
            return;
        case CViewerChoice::Viewer::MediaVideo:
        case CViewerChoice::Viewer::MediaAudio: {
            const bool video = CViewerChoice::choose(path, false, nullptr, QString()) ==
                               CViewerChoice::Viewer::MediaVideo;
            previewInfo(infoText(QStringLiteral("メディアファイル")), QString(), video ? kVideo : kAudio);
            return;
        }
        case CViewerChoice::Viewer::BrowserAlreadyShown:
            destroyEditor();
            m_mode = Mode::Browser;
            showBrowser();
            return;
        case CViewerChoice::Viewer::Browser:
            previewInBrowser(path);
            return;
        case CViewerChoice::Viewer::RichText:
            previewRichText(path);
            return;
        case CViewerChoice::Viewer::Text:
            previewText(path);
            return;
    }
}

void CTextView::previewInBrowser(const QString& pathOrAddress) {
    if (!pathOrAddress.contains(QStringLiteral("://")) && !QFileInfo::exists(pathOrAddress)) {
        showMissingFile();
        return;
    }
    destroyEditor();
    navigate(pathOrAddress);
    showBrowser();
    m_mode = Mode::Browser;
}

// The web view's own error page would say so in English: the pane says it as it does for texts.
void CTextView::showMissingFile() {
    hideBrowser();
    m_mode = Mode::Text;
    ensureEditor()->showInfoText(QString());
    setNote(QStringLiteral("ファイルが見つかりません"));
}

void CTextView::previewInfo(const QString& text, const QString& pageTitle, int mediaKind) {
    if (!m_browserMode) {
        hideBrowser();
        ensureEditor()->showInfoText(text);
        return;
    }
    destroyEditor();
    QString error;
    const QString page = mediaKind == kNoMedia
                             ? CPreviewPages::writeFileInfoPage(m_path, pageTitle, &error)
                             : CPreviewPages::writeMediaPage(m_path, mediaKind == kVideo, height(), &error);
    if (!error.isEmpty()) {
        CUserInterface::current().message(error.toStdString(), MessageIcon::Error);
    }
    navigate(page);
    showBrowser();
    m_mode = Mode::Browser;
}

void CTextView::previewText(const QString& path) {
    CWaitCursor wait;
    hideBrowser();
    CREditCtrl* editor = ensureEditor();
    switch (editor->loadFile(path)) {
        case CCodedTextFile::Status::Loaded:
            break;
        case CCodedTextFile::Status::NotFound:
            // Told in the pane, not in a message box that would stop every move through the grid.
            editor->showInfoText(QString());
            setNote(QStringLiteral("ファイルが見つかりません"));
            break;
        case CCodedTextFile::Status::Binary:
            editor->showInfoText(infoText(CViewerChoice::extensionOf(path) + QStringLiteral("ファイル")));
            break;
        case CCodedTextFile::Status::Beginning:
            setNote(QStringLiteral("大きなファイルのため、先頭の%1バイトだけを読み取り専用で表示しています（全体%2バイト）。")
                        .arg(editor->document()->toPlainText().toUtf8().size())
                        .arg(editor->textFile().fileSize()));
            break;
        case CCodedTextFile::Status::NotExact:
            setNote(QStringLiteral("このテキストは編集すると保存時に内容が変わるため、読み取り専用で表示しています。"));
            break;
        case CCodedTextFile::Status::StrayBytes:
            setNote(QStringLiteral("このテキストには文字コード（%1）で読めないバイトがあり、編集すると保存時に内容が変わるため、"
                                   "読み取り専用で表示しています。")
                        .arg(QString::fromLatin1(jtext::codeName(editor->textFile().code()))));
            break;
    }
    m_mode = Mode::Text;
}

void CTextView::previewRichText(const QString& path) {
    CWaitCursor wait;
    hideBrowser();
    CREditCtrl* editor = ensureEditor();
    switch (editor->loadFile(path)) {
        case CCodedTextFile::Status::NotFound:
            editor->showInfoText(QString());
            setNote(QStringLiteral("ファイルが見つかりません"));
            break;
        case CCodedTextFile::Status::NotExact:
            if (!editor->notKept().isEmpty()) {
                setNote(QStringLiteral("このリッチテキストには編集すると保存時に失われる内容（%1）があるため、"
                                       "読み取り専用で表示しています。")
                            .arg(editor->notKept().join(QStringLiteral("、"))));
            } else {
                setNote(QStringLiteral("このファイルは読み取り専用で表示しています。"));
            }
            break;
        default:
            break;
    }
    editor->moveCursor(QTextCursor::Start);
    m_mode = Mode::RichText;
}

QString CTextView::infoText(const QString& type) const {
    const qsizetype slash = m_path.lastIndexOf('/');
    return QStringLiteral("■通常モードで表示できないファイルです\nファイルタイプ：%1\nファイル名：%2\nフォルダ名：%3\n")
        .arg(type, m_path.mid(slash + 1), m_path.left(std::max<qsizetype>(0, slash)));
}

// ---- the children ----

void CTextView::previewImage(const QString& path) {
    CWaitCursor wait;
    destroyEditor();
    hideBrowser();
    m_mode = Mode::Image;
    m_imageView->show();
    if (!m_imageView->showImage(path)) {
        // Told in the pane, not in a message box that would stop every move through the grid.
        m_imageView->clear();
        setNote(QStringLiteral("表示できません"));
    }
}

bool CTextView::isImageCommand(int id) {
    return cmd::isPassedImageCommand(id);
}

CREditCtrl* CTextView::ensureEditor() {
    m_imageView->hide();
    if (!m_editor) {
        m_editor = new CREditCtrl(this);
        m_editor->setDefaultFont(m_font);
        connect(m_editor, &CREditCtrl::contextMenuRequested, this, &CTextView::showContextMenu);
        static_cast<QVBoxLayout*>(layout())->addWidget(m_editor, 1);
        m_editor->show();
    }
    m_editor->setReadOnly(false);
    return m_editor;
}

void CTextView::destroyEditor() {
    if (m_editor) {
        const bool hadFocus = m_editor->hasFocus();
        delete m_editor.data();
        if (hadFocus) {
            setFocus();
        }
    }
    setNote(QString());
}

void CTextView::showBrowser() {
    m_imageView->hide();
    m_browserShown = true;
    m_browser->show();
}

void CTextView::hideBrowser() {
    m_browserShown = false;
    m_browser->hide();
}

void CTextView::navigate(const QString& address) {
    m_browser->navigate(address);
}

QString CTextView::pageTitle() const {
    return m_browser->pageTitle();
}

// ---- font, focus, menu, search hits ----

void CTextView::setPreviewFont(const QFont& font) {
    m_font = font;
    if (m_editor) {
        m_editor->setDefaultFont(font);
    }
    CPreviewFont::write(document().profile(), font);
    document().updateAllViews(nullptr, hint::kRepaint);
}

void CTextView::focusInEvent(QFocusEvent* event) {
    CQuilloryView::focusInEvent(event);
    if (m_editor) {
        m_editor->setFocus();
    } else if (m_browserShown) {
        m_browser->setFocus();
    }
}

void CTextView::contextMenuEvent(QContextMenuEvent* event) {
    showContextMenu(event->globalPos());
}

void CTextView::showContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
    const std::pair<int, const char*> entries[] = {{cmd::kEditUndo, "元に戻す(&U)"},
                                                   {0, nullptr},
                                                   {cmd::kEditCut, "切り取り(&T)"},
                                                   {cmd::kEditCopy, "コピー(&C)"},
                                                   {cmd::kEditPaste, "貼り付け(&P)"},
                                                   {0, nullptr},
                                                   {cmd::kEditSelectAll, "全て選択(&L)"}};
    for (const auto& [id, text] : entries) {
        if (!text) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromUtf8(text));
        const int command = id;
        connect(action, &QAction::triggered, this, [this, command] { onCommand(command); });
    }
    menu.exec(globalPos);
}

void CTextView::setSearchHit(std::int64_t offset, const QString& text) {
    m_searchHitOffset = offset;
    m_searchHitText = text;
}

void CTextView::selectSearchHit() {
    if (!m_editor || m_mode != Mode::Text || m_searchHitOffset < 0) {
        return;
    }
    const CCodedTextFile& file = m_editor->textFile();
    const int start = file.positionOfFileOffset(*m_editor->document(), m_searchHitOffset);
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(start);
    cursor.setPosition(std::min(start + static_cast<int>(m_searchHitText.size()),
                                m_editor->document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
}
