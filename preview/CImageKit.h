#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
struct CDecodedPicture;

// The image layer of the image mode: one picture in 32 bits per pixel, read by Qt's image readers, by our
// PCX decoder, or by the image plug-ins; scaled, sharpened, drawn and copied to the clipboard.
class CImageKit final {
public:
    // The largest picture accepted, as 32-bit pixels: 1 GiB.
    static constexpr qint64 kMaxPictureBytes = qint64{1} << 30;

    // Extensions of the image layer itself, with or without the leading dot, ignoring case.
    static bool isKitExtension(const QString& extension);
    // The vector formats that reach the image mode (".wmf", ".emf", ".dxf"); only a plug-in reads them.
    static bool isVectorExtension(const QString& extension);
    // The extension of a path: the text after its last "." (empty without one).
    static QString extensionOf(const QString& path);
    // Content test: true when the layer itself can read the file (Qt's readers or PCX).
    static bool canRead(const QString& path);

    // Loads the file: the layer itself for its extensions (by content), the image plug-ins for the rest and
    // as the last resort. A picture that the format can decode at a reduced size is decoded at the size of
    // `fitInto` when that is valid and smaller than the picture. False when nothing could read it, or the
    // picture holds more than 1 GiB of pixels. The picture is held in 32 bits per pixel either way.
    bool load(const QString& path, QSize fitInto = QSize());
    // Holds a picture decoded elsewhere. False for an empty one. The moving form takes the pixels over
    // without a copy; the other copies them first.
    bool loadPicture(CDecodedPicture&& picture);
    bool loadPicture(const CDecodedPicture& picture);
    void clear();

    bool isNull() const { return m_image.isNull(); }
    // The picture's own size, also when it was decoded at a reduced size.
    QSize size() const { return m_size; }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    // The colour depth of the picture as it was read (before the conversion to 32 bits).
    int sourceDepth() const { return m_sourceDepth; }
    int depth() const { return m_image.depth(); }
    // True when the held pixels are a reduced decode; fullImage work needs a load without `fitInto`.
    bool isReduced() const { return m_image.size() != m_size; }
    const QImage& image() const { return m_image; }
    const QString& path() const { return m_path; }
    // What the last failed load said (for reports; the user sees "表示できません").
    const QString& lastError() const { return m_lastError; }

    // Converts the held pixels to 32 bits per pixel (alpha kept, premultiplied for drawing).
    bool convertTo32();
    // Scales the held picture to a new size.
    bool resize(int width, int height);
    // Sharpens the rectangle of the held picture; `level` 10 is the normal strength. On failure (no
    // picture, empty rectangle) and with `showFailure`, "処理が失敗しました" is shown.
    bool sharpen(const QRect& rect, int level, bool showFailure);
    // The same sharpening on any 32-bit image.
    static void sharpenImage(QImage& image, const QRect& rect, int level);

    // Draws the picture scaled into `target`.
    void drawFitted(QPainter& painter, const QRect& target) const;
    // Draws the picture at (x, y); a width or height of -1 is the picture's own.
    void draw(QPainter& painter, int x, int y, int width = -1, int height = -1) const;
    // The part `visible` (in the coordinates of the picture scaled to `displayed`) of the scaled picture.
    // Only the visible pixels are computed, so a zoom step costs what the pane shows, not the whole picture.
    QImage renderRegion(QSize displayed, const QRect& visible) const;

    // Puts the picture on the clipboard as an image.
    void copyToClipboard() const;

private:
    bool loadWithKit(const QString& path, QSize fitInto);
    bool loadWithPlugins(const QString& path);

    QImage m_image;
    QSize m_size;
    int m_sourceDepth = 0;
    QString m_path;
    QString m_lastError;
};
