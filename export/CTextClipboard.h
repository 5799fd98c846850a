#pragma once

// The plain-text clipboard as the exporters see it. The application puts the text on the system clipboard
// (plain text only, no HTML format); qlry prints it; tests keep it.

#include <string_view>

class CTextClipboard {
public:
    virtual ~CTextClipboard() = default;
    virtual void setText(std::string_view text) = 0;
};
