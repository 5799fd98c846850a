#pragma once

#include <QFont>

class CProfile;

// The preview font in the settings section "EFont": "FaceName", "Size" (a logical height: negative is the
// character height in pixels), "Weight", "Italic", "Underline" and "CharSet".
class CPreviewFont final {
public:
    static QFont read(const CProfile& profile);
    // Writes the font; the character set is kept as it was stored.
    static void write(CProfile& profile, const QFont& font);
};
