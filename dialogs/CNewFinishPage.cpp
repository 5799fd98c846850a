#include "dialogs/CNewFinishPage.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWizard>

CNewFinishPage::CNewFinishPage(QWidget* parent) : QWizardPage(parent) {
    setObjectName("NewFinishPage");
    setTitle(QStringLiteral("完了"));
    auto* layout = new QVBoxLayout(this);
    for (const QString& line :
         {QStringLiteral("新規作成が完了しました。"),
          QStringLiteral("追加したアイテムにはカテゴリ毎に属性を設定できます。"),
          QStringLiteral("この後はファイルやフォルダをドラッグ＆ドロップしてカテゴリに追加してください。"),
          QStringLiteral("基本的な使い方は[ヘルプ]-[目次]から「基本的な使い方」を見てください。")}) {
        auto* label = new QLabel(line, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch();
}

void CNewFinishPage::initializePage() {
    if (wizard()) {
        wizard()->setButtonText(QWizard::FinishButton, QStringLiteral("完了"));
    }
}
