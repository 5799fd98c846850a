#include "gui/CPageCapture.h"

#include "gui/CWaitCursor.h"
#include "platform/CBrowserCapture.h"
#include "platform/CUserInterface.h"

namespace {

const char* messageFor(CaptureRefusal refusal) {
    switch (refusal) {
    case CaptureRefusal::NotYetSaved:
        return CPageCapture::kNotYetSaved;
    case CaptureRefusal::PrivateWindow:
        return CPageCapture::kPrivateWindow;
    case CaptureRefusal::BrowserPage:
        return CPageCapture::kBrowserPage;
    case CaptureRefusal::Cancelled:
        return nullptr;
    case CaptureRefusal::None:
        break;
    }
    return CPageCapture::kNoBrowser;
}

}  // namespace

bool CPageCapture::take(CBrowserCapture* capture, std::string& url, std::string& title, Report report) {
    bool taken = false;
    {
        CWaitCursor wait;
        taken = capture && capture->capture(url, title);
    }
    if (!taken && report == Report::Failure) {
        if (const char* message = messageFor(capture ? capture->refusal() : CaptureRefusal::None)) {
            CUserInterface::current().message(message, MessageIcon::Warning);
        }
    }
    return taken;
}
