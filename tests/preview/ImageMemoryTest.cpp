// A large picture is held once: loading a PCX file or taking a plug-in's picture never keeps the decoded
// pixels and the shown image alive side by side, so a picture near the limit needs its own size, not twice.

#include <QTest>

#include <fstream>
#include <string>

#include "platform/CPcxDecoder.h"
#include "preview/CImageKit.h"
#include "support/CTempFolder.h"

namespace {

constexpr int kWidth = 8192;
constexpr int kHeight = 4096;
constexpr qint64 kPictureBytes = qint64{kWidth} * kHeight * 4;  // 128 MiB of 32-bit pixels

qint64 statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0) {
            return std::stoll(line.substr(std::string(field).size()));
        }
    }
    return -1;
}

// Restarts the peak resident size at the current size; returns that size in bytes.
qint64 restartPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKiB("VmHWM:") * 1024;
}

qint64 peakSince(qint64 start) {
    return statusKiB("VmHWM:") * 1024 - start;
}

// A 256-colour PCX file of runs of 63 pixels, each run one colour more than the one before.
std::string largePcx() {
    std::string pcx(128, '\0');
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    auto put16 = [&](std::size_t at, int value) {
        pcx[at] = static_cast<char>(value & 0xFF);
        pcx[at + 1] = static_cast<char>(value >> 8);
    };
    put16(8, kWidth - 1);
    put16(10, kHeight - 1);
    pcx[65] = 1;
    put16(66, kWidth);
    qint64 left = qint64{kWidth} * kHeight;
    for (int run = 0; left > 0; ++run) {
        const int length = static_cast<int>(std::min<qint64>(63, left));
        pcx += static_cast<char>(0xC0 | length);
        pcx += static_cast<char>(run & 0xFF);
        left -= length;
    }
    pcx += '\x0C';
    for (int i = 0; i < 256; ++i) {
        pcx += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    }
    return pcx;
}

}  // namespace

class ImageMemoryTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void largePcxIsDecodedOnce() {
        CTempFolder folder;
        const QString path = QString::fromStdString(folder.write("large.pcx", largePcx()));
        CImageKit kit;
        const qint64 start = restartPeak();
        QVERIFY2(kit.load(path), qPrintable(kit.lastError()));
        const qint64 peak = peakSince(start);
        QCOMPARE(kit.size(), QSize(kWidth, kHeight));
        QCOMPARE(kit.sourceDepth(), 8);
        QCOMPARE(kit.image().pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(kit.image().pixel(63, 0), qRgb(1, 254, 0));
        const int last = static_cast<int>((qint64{kWidth} * kHeight - 1) / 63 % 256);
        QCOMPARE(kit.image().pixel(kWidth - 1, kHeight - 1), qRgb(last, 255 - last, last / 2));
        QVERIFY2(peak < kPictureBytes * 3 / 2,
                 qPrintable(QStringLiteral("peak %1 MiB for a %2 MiB picture").arg(peak >> 20).arg(kPictureBytes >> 20)));
        qInfo("PCX of %lld MiB of pixels: peak %lld MiB above the start", kPictureBytes >> 20, peak >> 20);
    }

    void pluginPictureIsTakenOverWithoutACopy() {
        CDecodedPicture picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.sourceBitsPerPixel = 32;
        picture.hasAlpha = true;
        picture.pixels.assign(std::size_t{kWidth} * kHeight, 0x80FF4020u);
        picture.pixels.back() = 0xFF102030u;
        CImageKit kit;
        const qint64 start = restartPeak();
        QVERIFY(kit.loadPicture(std::move(picture)));
        const qint64 peak = peakSince(start);
        QCOMPARE(kit.size(), QSize(kWidth, kHeight));
        QCOMPARE(kit.sourceDepth(), 32);
        QCOMPARE(kit.image().format(), QImage::Format_ARGB32_Premultiplied);  // as drawing wants it
        QCOMPARE(kit.image().pixel(kWidth - 1, kHeight - 1), 0xFF102030u);
        const QRgb translucent = qUnpremultiply(kit.image().pixel(0, 0));
        QCOMPARE(qAlpha(translucent), 0x80);
        QVERIFY(qAbs(qRed(translucent) - 0xFF) <= 1 && qAbs(qGreen(translucent) - 0x40) <= 1);
        QVERIFY2(peak < kPictureBytes / 4,
                 qPrintable(QStringLiteral("peak %1 MiB for a %2 MiB picture").arg(peak >> 20).arg(kPictureBytes >> 20)));
    }
};

QTEST_GUILESS_MAIN(ImageMemoryTest)
#include "ImageMemoryTest.moc"
