#include "dialogs/CFileItemDlg.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "catalog/CFileCatalog.h"
#include "dialogs/CCategoryCombos.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/DialogHelp.h"
#include "gui/CPageCapture.h"
#include "model/CFileItem.h"
#include "platform/CBrowserCapture.h"
#include "platform/CUserInterface.h"

namespace {

QString pathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Memos keep the catalog's CR LF line ends; the editor works with LF.
QString memoText(const std::string& memo) {
    return QString::fromStdString(memo).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

CFileItemDlg::CFileItemDlg(CFileCatalog& catalog, CFileItem& item, CBrowserCapture* capture, QWidget* parent)
    : QDialog(parent), m_catalog(catalog), m_item(item), m_capture(capture) {
    setObjectName("FileItemDlg");
    setWindowTitle(QStringLiteral("アイテムの編集"));

    auto* pathLabel = new QLabel(QStringLiteral("ファイル名／フォルダ名/URL(&F)"), this);
    m_pathEdit = new QLineEdit(this);
    m_pathEdit->setObjectName("path");
    m_pathEdit->setMinimumWidth(420);
    pathLabel->setBuddy(m_pathEdit);
    auto* folderButton = new QPushButton(QStringLiteral("フォルダ参照(&D)..."), this);
    folderButton->setObjectName("browseFolder");
    auto* fileButton = new QPushButton(QStringLiteral("ファイル参照(&R)..."), this);
    fileButton->setObjectName("browseFile");
    auto* openButton = new QPushButton(QStringLiteral("開く"), this);
    openButton->setObjectName("open");
    auto* browserButton = new QPushButton(QStringLiteral("ブラウザから取り込み(&B)"), this);
    browserButton->setObjectName("fromBrowser");
    for (QPushButton* button : {folderButton, fileButton, openButton, browserButton}) {
        button->setAutoDefault(false);
    }
    connect(folderButton, &QPushButton::clicked, this, &CFileItemDlg::browseFolder);
    connect(fileButton, &QPushButton::clicked, this, &CFileItemDlg::browseFile);
    connect(openButton, &QPushButton::clicked, this, &CFileItemDlg::openPath);
    connect(browserButton, &QPushButton::clicked, this, &CFileItemDlg::captureFromBrowser);

    m_combos = new CCategoryCombos(catalog, this);

    auto* titleGroup = new QGroupBox(QStringLiteral("タイトル(&T)"), this);
    m_titleEdit = new QLineEdit(titleGroup);
    m_titleEdit->setObjectName("title");
    m_titleEdit->setAccessibleName(QStringLiteral("タイトル"));
    auto* titleNote = new QLabel(QStringLiteral("空欄の時はファイル名表示"), titleGroup);
    auto* titleLayout = new QHBoxLayout(titleGroup);
    titleLayout->addWidget(m_titleEdit, 1);
    titleLayout->addWidget(titleNote);

    auto* memoLabel = new QLabel(QStringLiteral("メモ(&M):"), this);
    m_memoEdit = new QPlainTextEdit(this);
    m_memoEdit->setObjectName("memo");
    m_memoEdit->setTabChangesFocus(true);
    m_memoEdit->setFixedHeight(90);
    memoLabel->setBuddy(m_memoEdit);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileItemDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileItemDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { dialoghelp::show(dialoghelp::kFileItemContext); });

    auto* pathButtons = new QHBoxLayout;
    pathButtons->addStretch();
    for (QPushButton* button : {folderButton, fileButton, openButton, browserButton}) {
        pathButtons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pathLabel);
    layout->addWidget(m_pathEdit);
    layout->addLayout(pathButtons);
    layout->addWidget(m_combos);
    layout->addWidget(titleGroup);
    layout->addWidget(memoLabel);
    layout->addWidget(m_memoEdit);
    layout->addWidget(buttons);

    // The fields show the item as it is now on disk.
    m_item.refresh(m_catalog.catalogFolder(), m_catalog.useShortcuts(), m_catalog.readOnly());
    m_originalPath = std::string(m_item.path());
    m_originalPathText = pathText(m_originalPath);
    m_originalMemoText = memoText(std::string(m_item.memo()));
    m_pathEdit->setText(m_originalPathText);
    m_titleEdit->setText(QString::fromStdString(std::string(m_item.title())));
    m_memoEdit->setPlainText(m_originalMemoText);
    for (int i = 0; i < m_combos->count(); ++i) {
        m_combos->setText(i, QString::fromStdString(std::string(m_item.valueString(i))));
    }
    m_pathEdit->setFocus();
}

std::string CFileItemDlg::fieldPath() const {
    const QString text = m_pathEdit->text();
    if (text == m_originalPathText) {
        return m_originalPath;
    }
    return QFile::encodeName(text).toStdString();
}

void CFileItemDlg::accept() {
    const std::string path = fieldPath();
    m_item.setPath(path, m_catalog.catalogFolder(), m_catalog.useShortcuts());
    QString title = m_titleEdit->text();
    if (path.find("://") != std::string::npos && title.isEmpty()) {
        if (const std::optional<QString> typed = CInputDlg::ask(this, QString::fromUtf8(kTitlePrompt), QString())) {
            title = *typed;
        }
    }
    m_item.setTitle(title.toStdString());
    const QString memo = m_memoEdit->toPlainText();
    if (memo != m_originalMemoText) {
        m_item.setMemo(QString(memo).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString());
    }
    for (int i = 0; i < m_combos->count(); ++i) {
        m_item.setValueString(i, m_combos->text(i).toStdString());
    }
    QDialog::accept();
}

void CFileItemDlg::browseFile() {
    QFileDialog dialog(this, QStringLiteral("ファイルの参照"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("全てのﾌｧｲﾙ(*.*) (*)"));
    const QFileInfo current(m_pathEdit->text());
    if (!m_pathEdit->text().isEmpty() && current.exists()) {
        dialog.setDirectory(current.isDir() ? current.absoluteFilePath() : current.absolutePath());
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_pathEdit->setText(dialog.selectedFiles().constFirst());
    }
}

void CFileItemDlg::browseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), m_pathEdit->text());
    if (!folder.isEmpty()) {
        m_pathEdit->setText(folder);
    }
}

void CFileItemDlg::openPath() {
    const QString text = m_pathEdit->text();
    if (text.isEmpty()) {
        return;
    }
    if (text.contains(QStringLiteral("://"))) {
        QDesktopServices::openUrl(QUrl(text));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(fieldPath()))));
}

void CFileItemDlg::captureFromBrowser() {
    std::string url;
    std::string title;
    if (!CPageCapture::take(m_capture, url, title, CPageCapture::Report::Failure)) {
        return;
    }
    m_pathEdit->setText(QString::fromStdString(url));
    m_titleEdit->setText(QString::fromStdString(title));
}

void CFileItemDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    dialoghelp::centreOnParent(*this);
}
