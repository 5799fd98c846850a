#include "dialogs/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/AppUtil.h"

namespace {

QLabel* linkLabel(const QString& text, const QString& target, QWidget* parent) {
    auto* label =
        new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(target, text.toHtmlEscaped()), parent);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString& link) { apputil::shellOpen(link); });
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutDlg");
    setWindowTitle(QStringLiteral("Quilloryのバージョン情報"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/quillory.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("<b>Quillory</b>"), this);
    text->addWidget(name);
    text->addWidget(new QLabel(QString::fromLatin1(kVersion), this));
    text->addWidget(new QLabel(QStringLiteral("ファイルをカテゴリで分類して管理するカタログソフトです。\n"
                                              "Copyright (C) Vemto"),
                               this));
    text->addWidget(
        linkLabel(QStringLiteral("Quilloryのホームページ"), QString::fromLatin1(kHomePageUrl), this));
    text->addWidget(linkLabel(QStringLiteral("メールでのお問い合わせ"), QString::fromLatin1(kMailUrl), this));

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
