#include "dialogs/CBrowserExtensionDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* textLabel(const QString& text, const QString& accessibleName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAccessibleName(accessibleName);
    return label;
}

QPushButton* actionButton(const QString& text, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

// Labels keep their own line breaks, so that the dialog's size follows from its texts alone.

// A group of instructions with its button, and a line below for what the button reports.
QGroupBox* group(const QString& title, QLabel* instructions, QPushButton* button, QLabel* result) {
    auto* box = new QGroupBox(title);
    box->setAccessibleName(title);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(instructions);
    layout->addLayout(row);
    layout->addWidget(result);
    result->hide();
    return box;
}

}  // namespace

CBrowserExtensionDlg::CBrowserExtensionDlg(Actions actions, QWidget* parent)
    : QDialog(parent), m_actions(std::move(actions)) {
    setObjectName("BrowserExtensionDlg");
    setWindowTitle(QStringLiteral("ブラウザ拡張機能の設定"));

    auto* why = textLabel(
        QStringLiteral("ブラウザに表示中のページを、すぐに正確に取り込むため、「ブラウザから追加」は\n"
                       "ブラウザ拡張機能から今のページのアドレスとタイトルを受け取ります。\n"
                       "次の順に設定してください。"),
        QStringLiteral("説明"), this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setAccessibleName(QStringLiteral("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(why);
    layout->addWidget(registerGroup());
    layout->addWidget(firefoxGroup());
    layout->addWidget(chromiumGroup());
    layout->addWidget(buttons);
    showStatus();
    m_register->setFocus();
}

QWidget* CBrowserExtensionDlg::registerGroup() {
    m_register = actionButton(QStringLiteral("連携プログラムを登録"), QStringLiteral("registerButton"), this);
    connect(m_register, &QPushButton::clicked, this, &CBrowserExtensionDlg::registerHost);
    m_result = textLabel(QString(), QStringLiteral("登録の結果"), this);
    m_status = textLabel(QString(), QStringLiteral("登録の状態"), this);
    auto* instructions =
        textLabel(QStringLiteral("拡張機能が呼び出す連携プログラムを、このユーザーのブラウザに登録します。\n"
                                 "Quilloryを別の場所へ移したときは、もう一度登録してください。"),
                  QStringLiteral("連携プログラムの説明"), this);
    QGroupBox* box = group(QStringLiteral("1. 連携プログラム"), instructions, m_register, m_result);
    box->layout()->addWidget(m_status);
    return box;
}

QWidget* CBrowserExtensionDlg::firefoxGroup() {
    m_firefox = actionButton(QStringLiteral("Firefoxに追加..."), QStringLiteral("firefoxButton"), this);
    connect(m_firefox, &QPushButton::clicked, this,
            [this] { report(m_firefoxResult, m_actions.addToFirefox()); });
    m_firefoxResult = textLabel(QString(), QStringLiteral("Firefoxへの追加の結果"), this);
    auto* instructions = textLabel(
        QStringLiteral(
            "ESR版・Developer Edition:\n"
            "  1. アドレスバーに about:config と入力し、\n"
            "     xpinstall.signatures.required を false にします。\n"
            "  2. 「Firefoxに追加...」を押し、Firefoxの確認で「追加」を選びます。\n"
            "通常版:\n"
            "  1. about:debugging を開き、「このFirefox」の「一時的なアドオンを読み込む」を押します。\n"
            "  2. 次のフォルダの manifest.json を選びます（Firefoxを再起動するまで有効です）。\n"
            "     %1")
            .arg(m_actions.folder),
        QStringLiteral("Firefoxでの手順"), this);
    return group(QStringLiteral("2. Firefox"), instructions, m_firefox, m_firefoxResult);
}

QWidget* CBrowserExtensionDlg::chromiumGroup() {
    m_folder = actionButton(QStringLiteral("フォルダを開く"), QStringLiteral("folderButton"), this);
    connect(m_folder, &QPushButton::clicked, this,
            [this] { report(m_folderResult, m_actions.openFolder()); });
    m_folderResult = textLabel(QString(), QStringLiteral("フォルダを開いた結果"), this);
    auto* instructions = textLabel(
        QStringLiteral("Chrome、Chromium、Edge、Brave、Vivaldi:\n"
                       "  1. 「フォルダを開く」を押すと、拡張機能を次のフォルダに用意して開きます。\n"
                       "     %1\n"
                       "  2. ブラウザで chrome://extensions を開き、「デベロッパー モード」をオンにします。\n"
                       "  3. 「パッケージ化されていない拡張機能を読み込む」を押し、このフォルダを選びます。")
            .arg(m_actions.folder),
        QStringLiteral("Chromium系のブラウザでの手順"), this);
    return group(QStringLiteral("3. Chromium系"), instructions, m_folder, m_folderResult);
}

void CBrowserExtensionDlg::registerHost() {
    report(m_result, m_actions.registerHost());
    showStatus();
}

void CBrowserExtensionDlg::showStatus() {
    m_status->setText(m_actions.registered() ? QStringLiteral("連携プログラムは登録済みです。")
                                             : QStringLiteral("連携プログラムはまだ登録されていません。"));
}

void CBrowserExtensionDlg::report(QLabel* label, const QString& text) {
    label->setText(text);
    label->setVisible(!text.isEmpty());
    adjustSize();
}
