#pragma once

#include "export/CTextClipboard.h"

// The system clipboard for the exporters: the text goes on it as plain text alone, so that pasting the HTML
// copy into any editor gives its markup.
class CQtTextClipboard final : public CTextClipboard {
public:
    void setText(std::string_view text) override;
};
