#include "dialogs/CReplaceInfoDlg.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "platform/CUserInterface.h"

CReplaceInfoDlg::CReplaceInfoDlg(Steps steps, QWidget* parent) : QDialog(parent), m_steps(std::move(steps)) {
    setObjectName("ReplaceInfoDlg");
    setWindowTitle(QStringLiteral("置換"));
    auto* replaceNext = new QPushButton(QStringLiteral("置換して次へ(&R)"), this);
    replaceNext->setObjectName("replaceNext");
    replaceNext->setDefault(true);
    auto* next = new QPushButton(QStringLiteral("次候補(&N)"), this);
    next->setObjectName("next");
    auto* all = new QPushButton(QStringLiteral("全て置換"), this);
    all->setObjectName("replaceAll");
    auto* stop = new QPushButton(QStringLiteral("中止"), this);
    stop->setObjectName("stop");

    connect(replaceNext, &QPushButton::clicked, this, [this] {
        if (!m_steps.replaceAndFindNext()) {
            notFound();
        }
    });
    connect(next, &QPushButton::clicked, this, [this] {
        if (!m_steps.findNext()) {
            notFound();
        }
    });
    connect(all, &QPushButton::clicked, this, [this] {
        const int count = m_steps.replaceAll();
        CUserInterface::current().message(QStringLiteral("%1個置換しました").arg(count).toStdString(),
                                          MessageIcon::Question);
        accept();
    });
    connect(stop, &QPushButton::clicked, this, &CReplaceInfoDlg::reject);

    auto* layout = new QHBoxLayout(this);
    for (QPushButton* button : {replaceNext, next, all, stop}) {
        layout->addWidget(button);
    }
}

void CReplaceInfoDlg::notFound() {
    CUserInterface::current().message("見つかりません", MessageIcon::Information);
    accept();
}
