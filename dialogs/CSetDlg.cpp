#include "dialogs/CSetDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"
#include "gui/AppUtil.h"

namespace {

// The file types of the application chooser. Linux programs carry no ".EXE": the first type shows the files
// that may be run, the second every file; both let every name through and the type decides.
constexpr const char* kExecutableFilter = "実行可能ﾌｧｲﾙ (*)";
constexpr const char* kAllFilesFilter = "全てのﾌｧｲﾙ (*)";

QCheckBox* checkBox(QWidget* parent, const char* text, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* browseButton(QWidget* parent, const QString& text, const char* name,
                          const char* accessibleName) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(QString::fromUtf8(accessibleName));
    button->setAutoDefault(false);
    return button;
}

std::optional<QString> chooseFolder(QWidget* parent, const QString& current) {
    return apputil::pickFolder(parent, QStringLiteral("プラグインフォルダ"), current);
}

// The program that opens folders: starts beside the program chosen before, else where programs live, and
// never changes the process's current folder.
std::optional<QString> chooseApplication(QWidget* parent, const QString& current) {
    QFileDialog dialog(parent, QStringLiteral("フォルダを開くアプリケーション"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name is taken as it is
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString executable = QString::fromUtf8(kExecutableFilter);
    dialog.setNameFilters({executable, QString::fromUtf8(kAllFilesFilter)});
    const auto applyType = [&dialog, executable](const QString& type) {
        const QDir::Filters runnable = type == executable ? QDir::Executable : QDir::Filters();
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDot | runnable);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applyType);
    const QFileInfo known(current);
    dialog.setDirectory(!current.isEmpty() && known.absoluteDir().exists() ? known.absolutePath()
                                                                           : QStringLiteral("/usr/bin"));
    if (!current.isEmpty()) {
        dialog.selectFile(known.fileName());
    }
    applyType(executable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

CSetDlg::CSetDlg(QWidget* parent)
    : QDialog(parent), m_folderChooser(chooseFolder), m_applicationChooser(chooseApplication) {
    setObjectName("SetDlg");
    setWindowTitle(QStringLiteral("設定"));

    auto* itemList = new QGroupBox(QStringLiteral("アイテムリスト(&I)"), this);
    m_dropList = checkBox(itemList, "属性選択にコンボボックスを使用(&C)", "dropList");
    m_typing = checkBox(itemList, "文字直接入力で編集可能(&E)", "typing");
    auto* itemColumn = new QVBoxLayout(itemList);
    itemColumn->addWidget(m_dropList);
    itemColumn->addWidget(m_typing);

    m_useSusie = checkBox(this, "Susieプラグインを使用する(&S)", "useSusiePlugin");
    m_pluginFolder = new QLineEdit(this);
    m_pluginFolder->setObjectName("pluginFolder");
    auto* pluginLabel = new QLabel(QStringLiteral("プラグインフォルダ(&D):"), this);
    pluginLabel->setBuddy(m_pluginFolder);
    auto* pluginBrowse =
        browseButton(this, QStringLiteral("参照(&R)..."), "pluginBrowse", "プラグインフォルダの参照");
    connect(pluginBrowse, &QPushButton::clicked, this, &CSetDlg::browsePluginFolder);

    m_folderApplication = new QLineEdit(this);
    m_folderApplication->setObjectName("folderApplication");
    m_folderApplication->setMinimumWidth(300);
    auto* applicationLabel = new QLabel(QStringLiteral("フォルダを開く際に使うアプリケーション(&F):"), this);
    applicationLabel->setBuddy(m_folderApplication);
    auto* applicationBrowse = browseButton(this, QStringLiteral("..."), "applicationBrowse",
                                           "フォルダを開くアプリケーションの参照");
    connect(applicationBrowse, &QPushButton::clicked, this, &CSetDlg::browseFolderApplication);
    m_folderArgument = checkBox(this, "フォルダを引数にする(&A)", "folderArgument");

    m_openLastCatalog = checkBox(this, "起動時に前回のカタログを開く(&O)", "openLastCatalog");
    m_confirmTextSave = checkBox(this, "テキスト保存時に確認(&M)", "confirmTextSave");

    auto* fields = new QGridLayout;
    fields->addWidget(m_useSusie, 0, 0, 1, 2);
    fields->addWidget(pluginLabel, 1, 0, 1, 2);
    fields->addWidget(m_pluginFolder, 2, 0);
    fields->addWidget(pluginBrowse, 2, 1);
    fields->addWidget(applicationLabel, 3, 0, 1, 2);
    fields->addWidget(m_folderApplication, 4, 0);
    fields->addWidget(applicationBrowse, 4, 1);
    fields->addWidget(m_folderArgument, 5, 0, 1, 2);
    fields->setRowMinimumHeight(6, 8);
    fields->addWidget(m_openLastCatalog, 7, 0, 1, 2);
    fields->addWidget(m_confirmTextSave, 8, 0, 1, 2);
    fields->setColumnStretch(0, 1);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kOptionsContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(itemList);
    layout->addLayout(fields);
    layout->addWidget(buttons);
}

void CSetDlg::setValues(const Values& values) {
    m_dropList->setChecked(values.dropList);
    m_typing->setChecked(values.typing);
    m_useSusie->setChecked(values.useSusiePlugin);
    m_pluginFolder->setText(values.pluginFolder);
    m_folderApplication->setText(values.folderApplication);
    m_folderArgument->setChecked(values.folderArgument);
    m_openLastCatalog->setChecked(values.openLastCatalog);
    m_confirmTextSave->setChecked(values.confirmTextSave);
}

CSetDlg::Values CSetDlg::values() const {
    Values values;
    values.dropList = m_dropList->isChecked();
    values.typing = m_typing->isChecked();
    values.useSusiePlugin = m_useSusie->isChecked();
    values.pluginFolder = m_pluginFolder->text();
    values.folderApplication = m_folderApplication->text();
    values.folderArgument = m_folderArgument->isChecked();
    values.openLastCatalog = m_openLastCatalog->isChecked();
    values.confirmTextSave = m_confirmTextSave->isChecked();
    return values;
}

void CSetDlg::browsePluginFolder() {
    if (const std::optional<QString> folder = m_folderChooser(this, m_pluginFolder->text())) {
        m_pluginFolder->setText(*folder);
    }
}

void CSetDlg::browseFolderApplication() {
    if (const std::optional<QString> file = m_applicationChooser(this, m_folderApplication->text())) {
        m_folderApplication->setText(*file);
    }
}
