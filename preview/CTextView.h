#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "gui/CQuilloryView.h"

class CExtArray;
class CFileItem;
class CImageView;
class CPreviewEditCommands;
class CREditCtrl;
class CWebBrowser;
class CWebTitleCommand;
class QLabel;

// The preview pane below the item list. It shows the current item through the viewer its kind and
// extension select (CViewerChoice): the editor for plain and rich text and for the information texts, or
// the web view for web addresses, folders, media pages and, in browser mode, most files. An edited text is
// saved back to its file in its own code and line ends; before another item is shown, unsaved changes go
// through the save rule ("System"/"Save": 0 saves without asking, else the user is asked).
class CTextView final : public CQuilloryView {
    Q_OBJECT
public:
    // The numbers are the ones the settings and the image commands have always used.
    enum class Mode { Text = 0, Image = 1, RichText = 3, Browser = 4 };

    CTextView(CQuilloryDoc& document, QWidget* parent);
    ~CTextView() override;

    // Where the current item comes from (the item list) and the extensions the preview leaves alone.
    void setCurrentItemSource(std::function<CFileItem*()> source) { m_currentItem = std::move(source); }
    void setNoPreviewExtensions(const CExtArray* extensions) { m_noPreview = extensions; }

    void onUpdate(CQuilloryView* sender, int hintValue) override;
    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // Where the item search found its text inside the current item's file: the byte offset in the file as
    // stored and the text searched for. The select-search-hit command (32965) that follows selects it in
    // the editor.
    void setSearchHit(std::int64_t offset, const QString& text);
    std::int64_t searchHitOffset() const { return m_searchHitOffset; }
    const QString& searchHitText() const { return m_searchHitText; }
    // Before the main window closes: unsaved changes go through the save rule.
    void aboutToClose();

    Mode mode() const { return m_mode; }
    bool browserMode() const { return m_browserMode; }
    bool isBrowserShown() const { return m_browserShown; }
    const QString& path() const { return m_path; }
    CREditCtrl* editor() const;
    CWebBrowser* browser() const { return m_browser; }
    CImageView* imageView() const { return m_imageView; }
    // The note above the text ("" when none): a read-only beginning of a large file and the like.
    QString note() const;
    QFont previewFont() const { return m_font; }
    // How often the preview of the current item was rebuilt (the preview command).
    int previewRebuildCount() const { return m_previewRebuilds; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void rebuildPreview();
    void applySaveRule();
    void saveText();
    void saveTextAs();
    // True when both paths name one file (through links too).
    static bool isSameFile(const QString& a, const QString& b);
    void toggleBrowserMode();
    void sendBrowserToBlankPage();
    void showContextMenu(const QPoint& globalPos);
    void setPreviewFont(const QFont& font);
    void selectSearchHit();

    // The viewers.
    void clearPane();
    void previewFolder(const QString& folder);
    void previewAddress(const QString& address);
    void previewFile(const QString& path);
    // Image mode: the picture drawn by the image view; the note "表示できません" when it cannot be shown.
    void previewImage(const QString& path);
    // The image commands, which only the image view carries out and only in image mode.
    static bool isImageCommand(int id);
    void previewText(const QString& path);
    void previewRichText(const QString& path);
    void previewInfo(const QString& infoText, const QString& pageTitle, int mediaKind);
    void showMissingFile();
    void previewInBrowser(const QString& pathOrAddress);

    CREditCtrl* ensureEditor();
    void destroyEditor();
    void showBrowser();
    void hideBrowser();
    void navigate(const QString& address);
    void setNote(const QString& text);
    QString pageTitle() const;
    CFileItem* currentItem() const;
    // The information text of a file the editor cannot show.
    QString infoText(const QString& type) const;

    QPointer<CREditCtrl> m_editor;
    CWebBrowser* m_browser = nullptr;
    CImageView* m_imageView = nullptr;
    QLabel* m_note = nullptr;
    bool m_browserShown = false;
    QString m_path;
    Mode m_mode = Mode::Text;
    bool m_browserMode = false;
    QFont m_font;
    std::function<CFileItem*()> m_currentItem;
    const CExtArray* m_noPreview = nullptr;
    std::unique_ptr<CPreviewEditCommands> m_editCommands;
    std::unique_ptr<CWebTitleCommand> m_titleCommand;
    int m_previewRebuilds = 0;
    std::int64_t m_searchHitOffset = -1;
    QString m_searchHitText;
};
