#include "dialogs/CCatalogDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/DialogHelp.h"
#include "gui/AppUtil.h"
#include "platform/CUserInterface.h"
#include "text/Cp932.h"

namespace {

constexpr const char* kCatalogPattern = "*.qlry";
constexpr const char* kExtension = ".qlry";
constexpr int kColumnWidth = 100;

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The text of a column as the list compares it: its code page 932 bytes, compared byte by byte, with the
// UTF-8 bytes after them so that texts without a code page 932 form still order exactly.
std::string sortKey(const QString& text) {
    const std::string utf8 = text.toStdString();
    return jtext::utf8ToCp932(utf8) + '\0' + utf8;
}

void tellUser(const char* text) {
    CUserInterface::current().message(text, MessageIcon::Warning);
}

// A name that renames the folder in place: not empty, no folder separator, not "." or "..".
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

}  // namespace

QString CCatalogDlg::Row::path() const {
    return withSlash(folder) + name + QLatin1String(kExtension);
}

CCatalogDlg::CCatalogDlg(CProfile& profile, QWidget* parent) : QDialog(parent) {
    setObjectName("CatalogDlg");
    setWindowTitle(QStringLiteral("カタログの選択"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName("catalogList");
    m_list->setColumnCount(kColumnCount);
    m_list->setHeaderLabels(
        {QStringLiteral("カタログ名"), QStringLiteral("更新日付"), QStringLiteral("フォルダ")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setStretchLastSection(false);
    for (int column = 0; column < kColumnCount; ++column) {
        m_list->setColumnWidth(column, kColumnWidth);
    }
    m_list->setMinimumSize(360, 200);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CCatalogDlg::sortByColumn);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CCatalogDlg::accept);

    m_folderBox = new CFolderComboBox(profile, QStringLiteral("Folder"), QStringLiteral("Catalog"), this);
    m_folderBox->setObjectName("folderBox");
    m_folderBox->setMinimumWidth(260);
    connect(m_folderBox, &QComboBox::activated, this, &CCatalogDlg::rebuildList);

    auto* folderLabel = new QLabel(QStringLiteral("フォルダ(&F):"), this);
    folderLabel->setBuddy(m_folderBox);
    auto* browse = new QPushButton(QStringLiteral("参照(&R)..."), this);
    browse->setObjectName("browseButton");
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CCatalogDlg::browseFolder);
    auto* rename = new QPushButton(QStringLiteral("名前変更(&R)..."), this);
    rename->setObjectName("renameButton");
    rename->setAutoDefault(false);
    connect(rename, &QPushButton::clicked, this, &CCatalogDlg::renameSelected);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CCatalogDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCatalogDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kCatalogListContext); });

    auto* folderRow = new QGridLayout;
    folderRow->addWidget(folderLabel, 0, 0);
    folderRow->addWidget(m_folderBox, 0, 1);
    folderRow->addWidget(browse, 0, 2);
    folderRow->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(folderRow);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(rename);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    resize(520, 360);
}

void CCatalogDlg::setFolder(const QString& folder) {
    m_folderBox->setCurrentFolder(folder);
}

void CCatalogDlg::showEvent(QShowEvent* event) {
    if (!m_prepared) {
        m_prepared = true;
        m_folderBox->load();
        rebuildList();
    }
    QDialog::showEvent(event);
}

QString CCatalogDlg::parentFolder() const {
    const QString folder = m_folderBox->currentFolder();
    return withSlash(folder.isEmpty() ? apputil::defaultCatalogFolder() : folder);
}

void CCatalogDlg::rebuildList() {
    m_rows.clear();
    const QString parent = parentFolder();
    const QDir::Filters hiddenToo = QDir::Hidden | QDir::System;
    const QFileInfoList folders =
        QDir(parent).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | hiddenToo, QDir::Name);
    for (const QFileInfo& folder : folders) {
        const QFileInfoList files =
            QDir(folder.filePath())
                .entryInfoList({QString::fromLatin1(kCatalogPattern)}, QDir::Files | hiddenToo, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString fileName = file.fileName();
            const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
            m_rows.push_back({fileName.left(dot),
                              file.lastModified().toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                              parent + folder.fileName()});
        }
    }
    const QString first = m_rows.empty() ? QString() : m_rows.front().path();
    sortRows();
    showRows(first);
}

void CCatalogDlg::sortByColumn(int column) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    if (column == m_sortColumn) {
        m_descending = !m_descending;
    } else {
        m_sortColumn = column;
        m_descending = false;
    }
    const int row = selectedRow();
    const QString selected = row >= 0 ? m_rows[static_cast<std::size_t>(row)].path() : QString();
    sortRows();
    showRows(selected);
}

void CCatalogDlg::sortRows() {
    auto text = [this](const Row& row) {
        switch (m_sortColumn) {
            case kDateColumn:
                return row.date;
            case kFolderColumn:
                return row.folder;
            default:
                return row.name;
        }
    };
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        const std::string keyA = sortKey(text(a));
        const std::string keyB = sortKey(text(b));
        return m_descending ? keyB < keyA : keyA < keyB;
    });
}

void CCatalogDlg::showRows(const QString& selectedPath) {
    m_list->clear();
    QTreeWidgetItem* selected = nullptr;
    for (const Row& row : m_rows) {
        auto* item = new QTreeWidgetItem(m_list, {row.name, row.date, row.folder});
        if (!selected && row.path() == selectedPath) {
            selected = item;
        }
    }
    if (selected) {
        m_list->setCurrentItem(selected);
        m_list->scrollToItem(selected);
    }
}

int CCatalogDlg::selectedRow() const {
    const QList<QTreeWidgetItem*> items = m_list->selectedItems();
    return items.isEmpty() ? -1 : m_list->indexOfTopLevelItem(items.front());
}

void CCatalogDlg::browseFolder() {
    m_folderBox->browse();
    rebuildList();
}

void CCatalogDlg::renameSelected() {
    const int index = selectedRow();
    if (index < 0) {
        return;
    }
    const Row row = m_rows[static_cast<std::size_t>(index)];
    if (!m_openCatalogPath.isEmpty() && QDir::cleanPath(row.path()) == QDir::cleanPath(m_openCatalogPath)) {
        tellUser(
            "現在開いているカタログの名前変更はここではできません。[ファイル]-[現在のカタログ名変更]"
            "で可能です");
        return;
    }
    const std::optional<QString> newName =
        CInputDlg::ask(this, QStringLiteral("変更名を入力してください"), row.name);
    if (!newName || *newName == row.name) {
        return;
    }
    renameCatalog(row, *newName);
    rebuildList();
}

// Moves the catalog folder to its new name beside the old one, then renames the catalog file inside it.
// Neither step replaces a folder or a file that already exists.
void CCatalogDlg::renameCatalog(const Row& row, const QString& newName) {
    CFileCatalog catalog;
    catalog.setPath(row.path().toStdString());
    const QString parent = QFileInfo(row.folder).absolutePath();
    CCatalogFolder folder(catalog);
    const std::optional<CCatalogFolderError> moved =
        isPlainName(newName) ? folder.move(parent.toStdString(), newName.toStdString())
                             : CCatalogFolderError(CatalogFolderErrorKind::Rename, catalog.path());
    if (moved && !moved->failed()) {
        tellUser(moved->userMessage().c_str());
    }
    if (moved && moved->failed()) {
        tellUser("フォルダ名の変更が出来ませんでした");
        return;
    }
    if (folder.renameFile(newName.toStdString())) {
        tellUser("ファイル名の変更が出来ませんでした");
    }
}

void CCatalogDlg::accept() {
    const int index = selectedRow();
    m_selectedPath = index >= 0 ? m_rows[static_cast<std::size_t>(index)].path() : QString();
    m_folderBox->save();
    QDialog::accept();
}
