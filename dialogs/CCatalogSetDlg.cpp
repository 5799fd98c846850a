#include "dialogs/CCatalogSetDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"

namespace {

QLabel* noteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setIndent(20);
    return label;
}

}  // namespace

CCatalogSetDlg::CCatalogSetDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("CatalogSetDlg");
    setWindowTitle(QStringLiteral("カタログの設定"));

    m_useShortcuts = new QCheckBox(QStringLiteral("ショートカットを利用したファイル管理(&F)"), this);
    m_useShortcuts->setObjectName("useShortcuts");
    m_relativePaths = new QCheckBox(QStringLiteral("相対パス保存(&R)"), this);
    m_relativePaths->setObjectName("relativePaths");
    connect(m_useShortcuts, &QCheckBox::clicked, this, &CCatalogSetDlg::updateRelativePathsEnabled);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCatalogSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCatalogSetDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_useShortcuts);
    layout->addWidget(
        noteLabel(QStringLiteral("これをチェックすることで、ファイルが移動しても自動追跡できます。"
                                 "ただし、チェックするとファイルが多いときには起動が遅くなります。"),
                  this));
    layout->addSpacing(8);
    layout->addWidget(m_relativePaths);
    layout->addWidget(
        noteLabel(QStringLiteral("ファイルのパスが相対パスで保存されます。"
                                 "カタログとファイルをまとめて他のパソコン、フォルダに移動可能です。"),
                  this));
    layout->addWidget(buttons);
    setMinimumWidth(420);
    updateRelativePathsEnabled();
}

void CCatalogSetDlg::setUseShortcuts(bool on) {
    m_useShortcuts->setChecked(on);
    updateRelativePathsEnabled();
}

bool CCatalogSetDlg::useShortcuts() const {
    return m_useShortcuts->isChecked();
}

void CCatalogSetDlg::setRelativePaths(bool on) {
    m_relativePaths->setChecked(on);
}

bool CCatalogSetDlg::relativePaths() const {
    return m_relativePaths->isChecked();
}

void CCatalogSetDlg::updateRelativePathsEnabled() {
    m_relativePaths->setEnabled(!m_useShortcuts->isChecked());
}
