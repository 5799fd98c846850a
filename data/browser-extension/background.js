// Tells Quillory which page the user is looking at: the selected tab of the last focused normal browser
// window, sent to the native host "quillory_browser_host" whenever it may have changed.
//
// One file serves Firefox (an event page, promise-based `browser`) and Chromium (a service worker,
// `chrome`, whose calls also return promises under manifest version 3). Either may be suspended when idle
// and started again for the next event, so every listener is added at the top level, and the port to
// the host is opened again whenever it is gone.

"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "quillory_browser_host";
// Retries after the host went away: quick at first, then no more than once a minute while it cannot start.
const RETRY_FIRST_MS = 1000;
const RETRY_LAST_MS = 60000;
// A port that lived this long worked; the next retry starts quick again.
const PORT_WORKED_MS = 10000;

let port = null;
let portOpenedAt = 0;
let retryMs = RETRY_FIRST_MS;
let retryTimer = null;

function openPort() {
  if (port) {
    return port;
  }
  let opened;
  try {
    opened = api.runtime.connectNative(HOST);
  } catch (error) {
    scheduleRetry();
    return null;
  }
  port = opened;
  portOpenedAt = Date.now();
  opened.onDisconnect.addListener(() => {
    // Reading lastError keeps Chromium from logging it as unchecked.
    void api.runtime.lastError;
    if (port !== opened) {
      return;
    }
    port = null;
    if (Date.now() - portOpenedAt >= PORT_WORKED_MS) {
      retryMs = RETRY_FIRST_MS;
    }
    scheduleRetry();
  });
  // The host may ask for the page again, e.g. after Quillory started.
  opened.onMessage.addListener((message) => {
    if (message && message.type === "query") {
      reportShownPage();
    }
  });
  return opened;
}

function scheduleRetry() {
  if (retryTimer !== null) {
    return;
  }
  const delay = retryMs;
  retryMs = Math.min(retryMs * 2, RETRY_LAST_MS);
  retryTimer = setTimeout(() => {
    retryTimer = null;
    if (!port) {
      reportShownPage();
    }
  }, delay);
}

function send(message) {
  const target = openPort();
  if (!target) {
    return;
  }
  try {
    target.postMessage(message);
  } catch (error) {
    // The port closed under us; the disconnect handler schedules the next attempt.
    if (port === target) {
      port = null;
      scheduleRetry();
    }
  }
}

function pageMessage(tab) {
  const incognito = Boolean(tab.incognito);
  return {
    type: "page",
    // A private tab is reported as such, without its address or title: Quillory must not record it.
    url: incognito ? "" : tab.url,
    title: incognito ? "" : (tab.title ?? ""),
    status: tab.status === "complete" ? "complete" : "loading",
    incognito,
    time: Date.now(),
  };
}

function reportTab(tab) {
  if (!tab) {
    return;
  }
  if (!tab.incognito && !tab.url) {
    // A tab whose address this extension may not see.
    return;
  }
  send(pageMessage(tab));
}

// Asks the browser rather than trusting remembered state: a suspended background forgets it.
async function reportShownPage() {
  let window;
  try {
    window = await api.windows.getLastFocused({ populate: true, windowTypes: ["normal"] });
  } catch (error) {
    // No normal window (the browser is closing, or only a popup is open).
    openPort();
    return;
  }
  if (!window || window.type !== "normal" || !window.tabs) {
    openPort();
    return;
  }
  const tab = window.tabs.find((candidate) => candidate.active);
  if (tab) {
    reportTab(tab);
  } else {
    openPort();
  }
}

api.tabs.onActivated.addListener(() => {
  reportShownPage();
});

api.tabs.onUpdated.addListener((tabId, changes, tab) => {
  if (!("url" in changes) && !("title" in changes) && !("status" in changes)) {
    return;
  }
  if (tab && tab.active) {
    reportShownPage();
  }
});

api.windows.onFocusChanged.addListener((windowId) => {
  if (windowId === api.windows.WINDOW_ID_NONE) {
    // The focus left the browser; the page last reported is still the one shown.
    return;
  }
  reportShownPage();
});

api.runtime.onStartup.addListener(() => {
  reportShownPage();
});

api.runtime.onInstalled.addListener(() => {
  reportShownPage();
});

reportShownPage();
