#include "preview/CPreviewFont.h"

#include <QFontInfo>

#include <algorithm>

#include "platform/CProfile.h"

namespace {

constexpr const char* kSection = "EFont";

}  // namespace

QFont CPreviewFont::read(const CProfile& profile) {
    QFont font(QString::fromStdString(profile.readString(kSection, "FaceName", "ＭＳ ゴシック")));
    font.setStyleHint(QFont::TypeWriter);
    const int size = profile.readInt(kSection, "Size", -17);
    // A positive height is the cell height; the character height is about seven eighths of it.
    font.setPixelSize(std::max(1, size < 0 ? -size : size * 7 / 8));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(profile.readInt(kSection, "Weight", 400), 1, 1000)));
    font.setItalic(profile.readInt(kSection, "Italic", 0) != 0);
    font.setUnderline(profile.readInt(kSection, "Underline", 0) != 0);
    return font;
}

void CPreviewFont::write(CProfile& profile, const QFont& font) {
    profile.writeString(kSection, "FaceName", font.family().toStdString());
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    profile.writeInt(kSection, "Size", -pixels);
    profile.writeInt(kSection, "Weight", static_cast<int>(font.weight()));
    profile.writeInt(kSection, "Italic", font.italic() ? 1 : 0);
    profile.writeInt(kSection, "Underline", font.underline() ? 1 : 0);
    profile.writeInt(kSection, "CharSet", profile.readInt(kSection, "CharSet", 128));
}
