#include "preview/CImageKit.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "platform/CPcxDecoder.h"
#include "platform/CUserInterface.h"
#include "preview/CImageZoom.h"
#include "preview/CSPIControl.h"

namespace {

// Qt's readers refuse pictures above their allocation limit; ours is the 1 GiB of the image mode.
constexpr int kAllocationLimitMb = 1024 + 64;

bool tooLarge(QSize size) {
    return size.isValid() && qint64{size.width()} * size.height() * 4 > CImageKit::kMaxPictureBytes;
}

// A JPEG or GIF file that was cut short still decodes in Qt, with the missing part grey; the image mode
// refuses it instead. Such a file lacks its end marker: a GIF ends with 3B; a JPEG's FF D9 (which coded
// data never holds) is in its last bytes, maybe followed by a few bytes that some cameras append.
bool endsEarly(const QByteArray& format, QFile& file) {
    const qint64 size = file.size();
    const qint64 tail = std::min<qint64>(size, 4096);
    if (!file.seek(size - tail))
        return true;
    QByteArray end = file.read(tail);
    while (!end.isEmpty() && (end.back() == '\0' || end.back() == '\n' || end.back() == '\r' || end.back() == ' '))
        end.chop(1);
    if (format == "jpeg")
        return !end.contains("\xFF\xD9");
    if (format == "gif")
        return !end.endsWith(';');
    return false;
}

}  // namespace

bool CImageKit::isKitExtension(const QString& extension) {
    // The eight extensions of the image layer, and the further formats Qt's readers bring.
    static const QStringList kExtensions = {"bmp", "gif", "jpg", "jpeg", "tiff", "tif", "pcx", "png",
                                            "webp", "ico", "tga"};
    QString bare = extension.startsWith('.') ? extension.mid(1) : extension;
    return kExtensions.contains(bare.toLower());
}

bool CImageKit::isVectorExtension(const QString& extension) {
    QString bare = extension.startsWith('.') ? extension.mid(1) : extension;
    bare = bare.toLower();
    return bare == "wmf" || bare == "emf" || bare == "dxf";
}

QString CImageKit::extensionOf(const QString& path) {
    const int dot = path.lastIndexOf('.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

bool CImageKit::canRead(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(128);
    if (CPcxDecoder::looksLikePcx(std::string_view(head.constData(), static_cast<std::size_t>(head.size()))))
        return true;
    file.close();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.canRead();
}

void CImageKit::clear() {
    m_image = QImage();
    m_size = QSize();
    m_sourceDepth = 0;
    m_path.clear();
}

bool CImageKit::load(const QString& path, QSize fitInto) {
    clear();
    m_lastError.clear();
    bool loaded = false;
    if (isKitExtension(extensionOf(path)))
        loaded = loadWithKit(path, fitInto);
    if (!loaded)
        loaded = loadWithPlugins(path);
    if (!loaded) {
        clear();
        return false;
    }
    m_path = path;
    return convertTo32();
}

bool CImageKit::loadWithKit(const QString& path, QSize fitInto) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    const QByteArray head = file.read(128);
    if (CPcxDecoder::looksLikePcx(std::string_view(head.constData(), static_cast<std::size_t>(head.size())))) {
        // Run-length data expands at most 32 times: a file over the picture limit holds no picture we show.
        if (file.size() > kMaxPictureBytes) {
            m_lastError = QStringLiteral("the file is larger than any picture shown");
            return false;
        }
        file.seek(0);
        const QByteArray bytes = file.readAll();
        // Decoded straight into the image's own buffer: the pixels exist once.
        QImage image;
        int sourceDepth = 0;
        const auto rowsFor = [&image, &sourceDepth](const CDecodedPicture& shape) {
            image = QImage(shape.width, shape.height, shape.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            sourceDepth = shape.sourceBitsPerPixel;
            if (image.isNull())
                return CPixelRows{};
            return CPixelRows{reinterpret_cast<std::uint32_t*>(image.bits()),
                              static_cast<std::size_t>(image.bytesPerLine() / 4)};
        };
        if (auto error = CPcxDecoder::decodeInto(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), rowsFor)) {
            m_lastError = QString::fromStdString(error->message());
            return false;
        }
        m_image = std::move(image);
        m_size = m_image.size();
        m_sourceDepth = sourceDepth;
        return true;
    }

    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    file.seek(0);
    if (!reader.canRead()) {
        m_lastError = reader.errorString();
        return false;
    }
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (tooLarge(size)) {
        m_lastError = QStringLiteral("the picture is larger than 1 GiB");
        return false;
    }
    if (fitInto.isValid() && size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        (size.width() > fitInto.width() || size.height() > fitInto.height())) {
        reader.setScaledSize(CImageZoom::fittedSize(size, fitInto));
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        m_lastError = reader.errorString();
        return false;
    }
    if (endsEarly(format, file)) {
        m_lastError = QStringLiteral("the file ends before its picture does");
        return false;
    }
    m_sourceDepth = image.depth();
    m_size = size.isValid() ? size : image.size();
    m_image = std::move(image);
    return true;
}

bool CImageKit::loadWithPlugins(const QString& path) {
    CSPIControl& host = CSPIControl::instance();
    if (host.formatTotal() <= 0)
        return false;
    CDecodedPicture picture;
    const int result = host.getPicture(QFile::encodeName(path).toStdString(), picture);
    if (result != CSPIControl::kSuccess) {
        m_lastError = QStringLiteral("no image plug-in reads the file (%1)").arg(result);
        return false;
    }
    if (picture.width == 0 || picture.height == 0) {
        CUserInterface::current().message("読み込み失敗", MessageIcon::Warning);
        m_lastError = QStringLiteral("the plug-in's picture is empty");
        return false;
    }
    return loadPicture(std::move(picture));
}

bool CImageKit::loadPicture(const CDecodedPicture& picture) {
    return loadPicture(CDecodedPicture(picture));
}

bool CImageKit::loadPicture(CDecodedPicture&& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return false;
    }
    // The image takes the decoded pixels over instead of copying them, so that a picture near the limit is
    // held once. Alpha is premultiplied in place: the held format needs no conversion afterwards.
    auto* pixels = new std::vector<std::uint32_t>(std::move(picture.pixels));
    picture.pixels.clear();
    if (picture.hasAlpha) {
        for (std::uint32_t& pixel : *pixels)
            pixel = qPremultiply(pixel);
    }
    const auto release = [](void* owned) { delete static_cast<std::vector<std::uint32_t>*>(owned); };
    QImage image(reinterpret_cast<uchar*>(pixels->data()), picture.width, picture.height,
                 static_cast<qsizetype>(picture.width) * 4,
                 picture.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32, release, pixels);
    if (image.isNull()) {
        delete pixels;  // a failed image never calls its release function
        return false;
    }
    m_image = std::move(image);
    m_size = m_image.size();
    m_sourceDepth = picture.sourceBitsPerPixel;
    return true;
}

bool CImageKit::convertTo32() {
    if (m_image.isNull())
        return false;
    const QImage::Format wanted =
        m_image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (m_image.format() != wanted)
        m_image.convertTo(wanted);
    return !m_image.isNull();
}

bool CImageKit::resize(int width, int height) {
    if (m_image.isNull() || width <= 0 || height <= 0)
        return false;
    QImage scaled = m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        return false;
    m_image = std::move(scaled);
    m_size = m_image.size();
    return true;
}

bool CImageKit::sharpen(const QRect& rect, int level, bool showFailure) {
    const QRect area = rect.intersected(m_image.rect());
    if (m_image.isNull() || area.isEmpty() || !convertTo32()) {
        if (showFailure)
            CUserInterface::current().message("処理が失敗しました", MessageIcon::Warning);
        return false;
    }
    sharpenImage(m_image, area, level);
    return true;
}

// A Laplacian sharpening: each pixel moves away from the mean of its four neighbours by level / 10 times
// the difference. Pixels on the border of the rectangle use themselves for missing neighbours.
void CImageKit::sharpenImage(QImage& image, const QRect& rect, int level) {
    const QRect area = rect.intersected(image.rect());
    if (area.isEmpty() || image.depth() != 32)
        return;
    const int strength = std::clamp(level, 0, 100);
    if (strength == 0)
        return;
    const int w = area.width();
    std::vector<std::uint32_t> above(static_cast<std::size_t>(w));
    std::vector<std::uint32_t> current(static_cast<std::size_t>(w));
    std::vector<std::uint32_t> below(static_cast<std::size_t>(w));
    auto rowOf = [&](int y, std::vector<std::uint32_t>& into) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y)) + area.x();
        std::copy_n(line, w, into.data());
    };
    rowOf(area.top(), current);
    above = current;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        if (y < area.bottom())
            rowOf(y + 1, below);
        else
            below = current;
        auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y)) + area.x();
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = current[static_cast<std::size_t>(x)];
            const std::uint32_t n[4] = {above[static_cast<std::size_t>(x)], below[static_cast<std::size_t>(x)],
                                        current[static_cast<std::size_t>(x > 0 ? x - 1 : x)],
                                        current[static_cast<std::size_t>(x + 1 < w ? x + 1 : x)]};
            std::uint32_t result = c & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int centre = static_cast<int>((c >> shift) & 0xFF);
                int sum = 0;
                for (std::uint32_t neighbour : n)
                    sum += static_cast<int>((neighbour >> shift) & 0xFF);
                const int value = centre + (4 * centre - sum) * strength / 40;
                int limit = 255;
                if (image.format() == QImage::Format_ARGB32_Premultiplied)
                    limit = static_cast<int>(c >> 24);  // premultiplied channels never exceed alpha
                result |= static_cast<std::uint32_t>(std::clamp(value, 0, limit)) << shift;
            }
            out[x] = result;
        }
        std::swap(above, current);
        std::swap(current, below);
    }
}

void CImageKit::drawFitted(QPainter& painter, const QRect& target) const {
    if (m_image.isNull() || target.isEmpty())
        return;
    if (target.size() == m_image.size()) {
        painter.drawImage(target.topLeft(), m_image);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, m_image);
    painter.restore();
}

void CImageKit::draw(QPainter& painter, int x, int y, int width, int height) const {
    if (m_image.isNull())
        return;
    const int w = width < 0 ? m_image.width() : width;
    const int h = height < 0 ? m_image.height() : height;
    drawFitted(painter, QRect(x, y, w, h));
}

QImage CImageKit::renderRegion(QSize displayed, const QRect& visible) const {
    if (m_image.isNull() || visible.isEmpty() || displayed.isEmpty())
        return QImage();
    QImage out(visible.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    if (displayed == m_image.size()) {
        painter.drawImage(QPoint(0, 0), m_image, visible);
        return out;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.translate(-visible.x(), -visible.y());
    painter.scale(double(displayed.width()) / m_image.width(), double(displayed.height()) / m_image.height());
    painter.drawImage(QPoint(0, 0), m_image);
    return out;
}

void CImageKit::copyToClipboard() const {
    if (m_image.isNull())
        return;
    QGuiApplication::clipboard()->setImage(m_image);
}
