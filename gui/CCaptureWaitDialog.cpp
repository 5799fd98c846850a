#include "gui/CCaptureWaitDialog.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>

CCaptureWaitDialog::CCaptureWaitDialog() = default;

CCaptureWaitDialog::~CCaptureWaitDialog() = default;

bool CCaptureWaitDialog::waiting(std::chrono::milliseconds elapsed, std::chrono::milliseconds limit) {
    if (!m_dialog && elapsed.count() >= kDialogDelayMs) {
        m_dialog = std::make_unique<QProgressDialog>(
            QStringLiteral("ブラウザが表示中のページを保存するのを待っています..."), QStringLiteral("中止"), 0,
            static_cast<int>(limit.count()), QApplication::activeWindow());
        m_dialog->setObjectName(QStringLiteral("CaptureWait"));
        m_dialog->setWindowTitle(QStringLiteral("ブラウザから取り込み"));
        m_dialog->setAccessibleName(QStringLiteral("ブラウザから取り込み"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
    }
    if (!m_dialog) {
        // Repaint, but keep the user's input until the dialog that can take it is there.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }
    // Setting the value of a modal progress dialog lets the user's click on "中止" through.
    m_dialog->setValue(static_cast<int>(std::min(elapsed, limit).count()));
    return !m_dialog->wasCanceled();
}

void CCaptureWaitDialog::ended() {
    m_dialog.reset();
}
