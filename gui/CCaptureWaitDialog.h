#pragma once

#include <memory>

#include "platform/CCaptureWait.h"

class QProgressDialog;

// Shows the user that a capture waits for the browser to save the page it shows: a progress dialog with
// "中止" over the active window once the wait has lasted a second (a short wait shows only the wait
// cursor that the capture sets). Until the dialog is up, the user's input waits.
class CCaptureWaitDialog final : public CCaptureWait {
public:
    static constexpr int kDialogDelayMs = 1000;

    CCaptureWaitDialog();
    ~CCaptureWaitDialog() override;

    bool waiting(std::chrono::milliseconds elapsed, std::chrono::milliseconds limit) override;
    void ended() override;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};
