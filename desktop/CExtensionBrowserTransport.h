#pragma once

#include <optional>

#include "desktop/CBrowserHostState.h"
#include "desktop/CBrowserPageTransport.h"

// Answers the capture from our browser extension: the extension reports the active tab's address and
// title together on every tab switch, navigation and title change to our native messaging host, which
// keeps them in a private state file (CBrowserHostState). The page is taken when the browser window's
// live title agrees with it; a report that lags (the window changed a moment ago) is waited for briefly.
// No state for the browser gives no page and no refusal, so that the session path answers instead.
class CExtensionBrowserTransport final : public CBrowserPageTransport {
public:
    using CBrowserPageTransport::CBrowserPageTransport;

protected:
    std::optional<Page> shownPage(const CRunningBrowsers::Browser& browser) override;

private:
    std::optional<CBrowserHostState::Page> reported(const CRunningBrowsers::Browser& browser);
    bool agreesWithWindow(const CBrowserHostState::Page& page);
};
