#include "dialogs/CZoomDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "dialogs/DialogHelp.h"

CZoomDlg::CZoomDlg(Kind kind, double value, QWidget* parent) : QDialog(parent) {
    setObjectName("ZoomDlg");
    setWindowTitle(kind == Kind::Reduce ? QStringLiteral("縮小") : QStringLiteral("拡大"));

    auto* prompt = new QLabel(QStringLiteral("倍率を設定してください(&B)"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName("value");
    m_edit->setAccessibleName(QStringLiteral("倍率"));
    prompt->setBuddy(m_edit);
    auto* unit = new QLabel(kind == Kind::Reduce ? QStringLiteral("分の１") : QStringLiteral("倍"), this);
    unit->setObjectName("unit");
    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName("scale");
    m_scrollBar->setAccessibleName(QStringLiteral("倍率"));
    m_scrollBar->setRange(10, 100);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(5);
    m_scrollBar->setFocusPolicy(Qt::StrongFocus);
    connect(m_scrollBar, &QScrollBar::actionTriggered, this, &CZoomDlg::scrollAction);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CZoomDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CZoomDlg::reject);

    auto* row = new QGridLayout;
    row->addWidget(prompt, 0, 0, 1, 2);
    row->addWidget(m_edit, 1, 0);
    row->addWidget(unit, 1, 1);
    row->addWidget(m_scrollBar, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    setValue(value);
    m_edit->selectAll();
}

void CZoomDlg::setValue(double value) {
    m_value = std::clamp(value, 1.0, 10.0);
    m_edit->setText(QString::number(m_value, 'f', 1));
    const QSignalBlocker quiet(m_scrollBar);
    m_scrollBar->setValue(static_cast<int>(std::lround(m_value * 10)));
}

// Line steps change the value by 0.1, page steps by 0.5, dragging sets position x 0.1, the ends 1.0 and
// 10.0. The scroll bar's own move is undone: the value decides where it stands.
void CZoomDlg::scrollAction(int action) {
    double value = m_edit->text().toDouble();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: value -= 0.1; break;
    case QAbstractSlider::SliderSingleStepAdd: value += 0.1; break;
    case QAbstractSlider::SliderPageStepSub: value -= 0.5; break;
    case QAbstractSlider::SliderPageStepAdd: value += 0.5; break;
    case QAbstractSlider::SliderToMinimum: value = 1.0; break;
    case QAbstractSlider::SliderToMaximum: value = 10.0; break;
    case QAbstractSlider::SliderMove: value = m_scrollBar->sliderPosition() * 0.1; break;
    default: return;
    }
    setValue(value);
    m_scrollBar->setSliderPosition(static_cast<int>(std::lround(m_value * 10)));
}

void CZoomDlg::accept() {
    bool ok = false;
    const double typed = m_edit->text().toDouble(&ok);
    m_value = ok ? typed : 0.0;
    QDialog::accept();
}
