// The image mode as a user meets it: pictures of every sample format shown, fitted and zoomed sizes, the
// zoom commands and dialog, the copy on the clipboard, image plug-ins, and hostile files.

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include <fstream>
#include <string>

#include "CTestSession.h"
#include "app/CQuilloryApp.h"
#include "dialogs/CZoomDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CommandIds.h"
#include "platform/CMemoryProfile.h"
#include "preview/CImageView.h"
#include "preview/CSPIControl.h"
#include "preview/CSPIProtocol.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"

namespace {

QString samplePath(const char* relative) {
    return QStringLiteral(QUILLORY_SOURCE_DIR "/data/sample/Sample3/") + QString::fromUtf8(relative);
}

QString pluginFolder(const char* name) {
    return QStringLiteral(QUILLORY_TEST_PLUGIN_DIR "/") + QLatin1String(name);
}

// A picture whose left half is red and right half blue.
QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

QString save(const CTempFolder& folder, const char* name, const QImage& image, const char* format = nullptr) {
    const QString path = QString::fromStdString(folder / name);
    QImageWriter writer(path, format);
    if (!writer.write(image))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

QString writeBytes(const CTempFolder& folder, const char* name, const QByteArray& bytes) {
    return QString::fromStdString(folder.write(name, std::string_view(bytes.constData(), bytes.size())));
}

// The ".qpx" format of the test plug-in: "QPX1", width, height, then red, green, blue per pixel.
QByteArray qpx(int width, int height, QRgb colour) {
    QByteArray bytes("QPX1");
    bytes.append(char(width & 0xFF)).append(char(width >> 8)).append(char(height & 0xFF)).append(char(height >> 8));
    for (int i = 0; i < width * height; ++i)
        bytes.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    return bytes;
}

// The peak resident size of this process in bytes, restarted at the current size by restartPeak().
qint64 peakResident() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    }
    return -1;
}

qint64 restartPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return peakResident();
}

QImage shown(CImageView& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool checked(CImageView& view, int id) {
    CCommandState state;
    view.onUpdateCommand(id, state);
    return state.enabled && state.checked;
}

}  // namespace

class ImageViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { CSPIControl::instance().unloadAll(); }

    void showsEachSampleFormatIn32Bits() {
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(800, 600);
        view.show();
        const struct {
            const char* name;
            QSize size;
        } samples[] = {{"画像/富士山.png", {240, 150}}, {"画像/桜.jpg", {240, 150}}, {"画像/海.gif", {240, 150}},
                       {"画像/紅葉.bmp", {240, 150}}, {"画像/雪景色.tif", {240, 150}}, {"資料/2024年/緑.png", {64, 64}}};
        for (const auto& sample : samples) {
            const QString path = samplePath(sample.name);
            QVERIFY2(CImageView::isImageFile(path), sample.name);
            QVERIFY2(view.showImage(path), sample.name);
            QCOMPARE(view.kit().depth(), 32);
            QCOMPARE(view.displayedSize(), sample.size);  // fits, so its own size
            // Centred: the strip left of the picture is white, the picture itself is not.
            const int left = (800 - sample.size.width()) / 2;
            QCOMPARE(view.imageRect().topLeft(), QPoint(left, 0));
            const QImage screen = shown(view);
            QCOMPARE(screen.pixel(left - 1, 30), qRgb(255, 255, 255));
            QVERIFY2(screen.pixel(left + 5, 30) != qRgb(255, 255, 255), sample.name);
        }
        // A 24-bit BMP is held in 32 bits; our own PCX decoder reads what ImageMagick writes.
        CTempFolder folder;
        const QString bmp = save(folder, "24.bmp", halves(64, 32).convertToFormat(QImage::Format_RGB888));
        QVERIFY(view.showImage(bmp));
        QCOMPARE(view.kit().image().depth(), 32);
        const QString pcx = QString::fromStdString(folder / "halves.pcx");
        QCOMPARE(QProcess::execute("convert", {bmp, "-type", "TrueColor", pcx}), 0);
        QVERIFY(view.showImage(pcx));
        QCOMPARE(view.kit().size(), QSize(64, 32));
        QCOMPARE(view.kit().image().pixel(1, 1), qRgb(255, 0, 0));
        QCOMPARE(view.kit().image().pixel(62, 30), qRgb(0, 0, 255));
        QVERIFY(!CImageView::isImageFile("/tmp/notes.txt"));
        QVERIFY(CImageView::isImageFile("/tmp/PHOTO.JPG"));
        QVERIFY(CImageView::isVectorFile("/tmp/plan.DXF"));
    }

    void fitsAndZoomsInTenths() {
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(500, 500);
        view.show();
        CTempFolder folder;
        const QString wide = save(folder, "wide.png", halves(2000, 1000));
        QVERIFY(view.showImage(wide));
        QVERIFY(checked(view, cmd::kImageFitToWindow));
        QCOMPARE(view.displayedSize(), QSize(500, 250));

        // Own size, then the fixed zooms; each is checked in the menu while on.
        view.onCommand(cmd::kImageActualSize);
        QVERIFY(checked(view, cmd::kImageActualSize));
        QCOMPARE(view.displayedSize(), QSize(2000, 1000));
        view.onCommand(cmd::kImageEnlargeFirst + 1);  // "&3倍"
        QVERIFY(checked(view, cmd::kImageEnlargeFirst + 1));
        QVERIFY(!checked(view, cmd::kImageActualSize));
        QCOMPARE(view.displayedSize(), QSize(6000, 3000));
        view.onCommand(cmd::kImageReduceFirst + 2);  // 1/4
        QCOMPARE(view.displayedSize(), QSize(500, 250));

        // Steps: from own size 1.1x; from 1/1.1 back to own size; at 10x nothing changes.
        view.onCommand(cmd::kImageActualSize);
        view.onCommand(cmd::kImageStepLarger);
        QCOMPARE(view.displayedSize(), QSize(2200, 1100));
        view.onCommand(cmd::kImageStepSmaller);
        view.onCommand(cmd::kImageStepSmaller);
        QCOMPARE(view.displayedSize(), QSize(1818, 909));
        view.onCommand(cmd::kImageStepLarger);
        QVERIFY(checked(view, cmd::kImageActualSize));
        view.onCommand(cmd::kImageEnlargeLast);
        view.onCommand(cmd::kImageStepLarger);
        QCOMPARE(view.zoom().factor(), 100);
        QCOMPARE(view.displayedSize(), QSize(20000, 10000));

        // Enlarged 2x, the pane shows the top left quarter of the left half: red; scrolled to the right end,
        // blue. The arrow keys move one pixel.
        view.onCommand(cmd::kImageEnlargeFirst);
        QCOMPARE(shown(view).pixel(100, 100), qRgb(255, 0, 0));
        QTest::keyClick(&view, Qt::Key_Right);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.horizontalScrollBar()->value(), 1);
        QCOMPARE(view.verticalScrollBar()->value(), 1);
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        QCOMPARE(shown(view).pixel(100, 100), qRgb(0, 0, 255));
        // Sharpened rendering keeps flat areas as they are.
        view.onCommand(cmd::kImagePure);
        QCOMPARE(profile.readInt("View", "ImagePure", 0), 1);
        QCOMPARE(shown(view).pixel(100, 100), qRgb(0, 0, 255));

        // A 300-pixel-wide picture in an 800-pixel-wide pane is drawn at x = 250, white to its left.
        view.resize(800, 500);
        view.onCommand(cmd::kImageActualSize);
        QVERIFY(view.showImage(save(folder, "narrow.png", halves(300, 100))));
        QCoreApplication::processEvents();  // the scroll bars of the larger picture go
        QCOMPARE(view.imageRect().x(), 250);
        const QImage screen = shown(view);
        QCOMPARE(screen.pixel(249, 50), qRgb(255, 255, 255));
        QCOMPARE(screen.pixel(251, 50), qRgb(255, 0, 0));

        // The fit command writes "WindowSize"; a new view starts from the settings.
        profile.writeInt("View", "WindowSize", 0);
        view.onCommand(cmd::kImageFitToWindow);
        QCOMPARE(profile.readInt("View", "WindowSize", 0), 1);
        CImageView again(profile);
        QVERIFY(again.zoom().isFit());
        QVERIFY(again.imagePure());
    }

    void sharpensScaledPicturesInPureMode() {
        // Two grey halves, enlarged twice: scaling softens the edge into a ramp; pure mode sharpens it, so
        // the darker side dips below its grey next to the edge and the lighter side rises above its own.
        QImage greys(400, 100, QImage::Format_RGB32);
        greys.fill(qRgb(160, 160, 160));
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                greys.setPixel(x, y, qRgb(100, 100, 100));
        CTempFolder folder;
        CMemoryProfile profile;
        profile.writeInt("View", "PureLevel", 20);
        CImageView view(profile);
        view.resize(300, 250);
        view.show();
        QVERIFY(view.showImage(save(folder, "greys.png", greys)));
        view.onCommand(cmd::kImageEnlargeFirst);
        QCoreApplication::processEvents();
        view.horizontalScrollBar()->setValue(300);  // the edge at x = 400 - 300 = 100
        auto range = [&] {
            const QImage screen = shown(view);
            int low = 255, high = 0;
            for (int x = 0; x < 200; ++x) {
                low = std::min(low, qGray(screen.pixel(x, 50)));
                high = std::max(high, qGray(screen.pixel(x, 50)));
            }
            return std::pair(low, high);
        };
        QCOMPARE(range(), std::pair(100, 160));
        view.onCommand(cmd::kImagePure);
        QVERIFY(checked(view, cmd::kImagePure));
        const auto [low, high] = range();
        QVERIFY2(low < 100 && high > 160, qPrintable(QString("%1..%2").arg(low).arg(high)));
        // Fitted pictures are drawn without sharpening.
        view.onCommand(cmd::kImageFitToWindow);
        QCOMPARE(shown(view).pixel(view.imageRect().x() + 10, 20), qRgb(100, 100, 100));
    }

    void fittedJpegIsDecodedAtTheFittedSize() {
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(400, 300);
        view.show();
        CTempFolder folder;
        const QString photo = save(folder, "photo.jpg", halves(3200, 2400));
        QVERIFY(view.showImage(photo));
        QCOMPARE(view.kit().size(), QSize(3200, 2400));
        QCOMPARE(view.displayedSize(), QSize(400, 300));
        QVERIFY(view.kit().isReduced());
        QVERIFY(view.kit().image().width() <= 400);
        // Leaving fit mode decodes the whole picture.
        view.onCommand(cmd::kImageActualSize);
        QCOMPARE(view.kit().image().size(), QSize(3200, 2400));
    }

    void zoomDialogSetsTenthsAndNeverADivisorOfZero() {
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(400, 300);
        CTempFolder folder;
        QVERIFY(view.showImage(save(folder, "p.png", halves(200, 100))));

        whenShown<CZoomDlg>([](CZoomDlg& dialog) {
            auto* edit = child<QLineEdit>(dialog, "value");
            QCOMPARE(dialog.windowTitle(), QStringLiteral("拡大"));
            QCOMPARE(edit->text(), QStringLiteral("1.0"));
            QCOMPARE(child<QLabel>(dialog, "unit")->text(), QStringLiteral("倍"));
            edit->setText("2.5");
            clickButton(dialog, QDialogButtonBox::Ok);
        });
        view.onCommand(cmd::kImageEnlargeCustom);
        QVERIFY(checked(view, cmd::kImageEnlargeCustom));
        QCOMPARE(view.displayedSize(), QSize(500, 250));

        // The scroll bar moves in tenths, pages of a half, and its ends are 1.0 and 10.0.
        whenShown<CZoomDlg>([](CZoomDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("縮小"));
            QCOMPARE(child<QLabel>(dialog, "unit")->text(), QStringLiteral("分の１"));
            auto* edit = child<QLineEdit>(dialog, "value");
            auto* bar = child<QScrollBar>(dialog, "scale");
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(edit->text(), QStringLiteral("1.1"));
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QCOMPARE(edit->text(), QStringLiteral("1.6"));
            bar->triggerAction(QAbstractSlider::SliderToMaximum);
            QCOMPARE(edit->text(), QStringLiteral("10.0"));
            QCOMPARE(bar->value(), 100);
            bar->triggerAction(QAbstractSlider::SliderToMinimum);
            QCOMPARE(edit->text(), QStringLiteral("1.0"));
            // Typed, not checked by the dialog: 0.
            edit->setText("0");
            clickButton(dialog, QDialogButtonBox::Ok);
        });
        view.onCommand(cmd::kImageReduceCustom);
        QVERIFY(view.zoom().isReduce());
        QVERIFY(view.zoom().divisor() > 0);
        QCOMPARE(view.displayedSize(), QSize(200, 100));
        shown(view);
    }

    void copiesThePictureToTheClipboard() {
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(300, 200);
        CTempFolder folder;
        // Fitted, the photo is held at a reduced size; the copy is the whole picture all the same.
        QVERIFY(view.showImage(save(folder, "copy.jpg", halves(1600, 1200))));
        QApplication::clipboard()->clear();
        view.onCommand(cmd::kCopyImage);
        const QImage copied = QApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(1600, 1200));
        const QRgb left = copied.pixel(10, 600);
        const QRgb right = copied.pixel(1590, 600);
        QVERIFY(qRed(left) > 240 && qBlue(left) < 16);
        QVERIFY(qBlue(right) > 240 && qRed(right) < 16);
    }

    void showsWhatAPluginDecodes() {
        CSPIControl& host = CSPIControl::instance();
        CTempFolder folder;
        const QString picture = writeBytes(folder, "made.QPX", qpx(30, 20, qRgb(10, 200, 30)));
        QVERIFY(!CImageView::isImageFile(picture));  // no plug-in loaded yet

        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 1);
        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 0);  // the same folder again adds nothing
        QCOMPARE(host.formatTotal(), 1);
        QVERIFY(CImageView::isImageFile(picture));  // "*.qpx" declared, ".QPX" asked
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(200, 200);
        QVERIFY(view.showImage(picture));
        QCOMPARE(view.kit().size(), QSize(30, 20));
        QCOMPARE(view.kit().image().pixel(29, 19), qRgb(10, 200, 30));
        QCOMPARE(shown(view).pixel(100, 10), qRgb(10, 200, 30));
        SusiePictureInfo info{};
        CDecodedPicture decoded;
        QCOMPARE(host.getPicture(picture.toStdString(), decoded, &info), CSPIControl::kSuccess);
        QCOMPARE(info.width, 30);
        QCOMPARE(info.colorDepth, 24);
        QVERIFY(host.problems().empty());
    }

    void skipsBrokenPluginsReportingEachOnce() {
        CSPIControl& host = CSPIControl::instance();
        // a_broken and b_qpx are import plug-ins; c_archive is an archive plug-in, d_noversion gives no
        // version, e_notamodule is no shared object, f_ and g_ crash on loading and on the version call.
        QCOMPARE(host.scan(pluginFolder("mixed").toStdString()), 2);
        QCOMPARE(host.plugins().at(0).fileName(), std::string("a_broken.spi"));
        QCOMPARE(host.problems().size(), std::size_t(4));
        const char* skipped[] = {"d_noversion.spi", "e_notamodule.spi", "f_crashes_on_load.spi", "g_crashes_when_asked.spi"};
        for (std::size_t i = 0; i < 4; ++i)
            QVERIFY2(host.problems().at(i).path.find(skipped[i]) != std::string::npos, skipped[i]);
        QVERIFY(host.problems().at(2).what.find("crashes") != std::string::npos);

        CTempFolder folder;
        const QString picture = writeBytes(folder, "p.qpx", qpx(4, 3, qRgb(1, 2, 3)));
        CMemoryProfile profile;
        CImageView view(profile);
        // a_broken claims the file and hands back a bits block far smaller than its header says: skipped,
        // reported, and the next plug-in decodes the file.
        QVERIFY(view.showImage(picture));
        QCOMPARE(host.lastDecoder(), 1);
        QCOMPARE(view.kit().image().pixel(0, 0), qRgb(1, 2, 3));
        QCOMPARE(host.problems().size(), std::size_t(5));
        QVERIFY(host.problems().at(4).path.find("a_broken.spi") != std::string::npos);
        view.clear();
        QVERIFY(view.showImage(picture));
        host.scan(pluginFolder("mixed").toStdString());
        QCOMPARE(host.problems().size(), std::size_t(5));  // each reported once

        // A picture of 40000 x 40000 (6.4 GB) is refused; one of width 0 says "読み込み失敗".
        CRecordingUserInterface ui;
        host.unloadAll();
        host.scan(pluginFolder("huge").toStdString());
        view.clear();
        QVERIFY(!view.showImage(picture));
        QVERIFY(!view.hasImage());
        host.unloadAll();
        host.scan(pluginFolder("empty").toStdString());
        view.clear();
        QVERIFY(!view.showImage(picture));
        QCOMPARE(ui.texts(), std::vector<std::string>{"読み込み失敗"});
    }

    void survivesPluginsThatCrashExitOrHang() {
        CSPIControl& host = CSPIControl::instance();
        host.setCallLimit(std::chrono::milliseconds(1000));
        CRecordingUserInterface ui;
        // a_crashes writes through a null pointer in GetPicture, b_exits calls exit(3) in IsSupported,
        // c_hangs never returns from GetPicture; d_qpx works. All four load.
        QCOMPARE(host.scan(pluginFolder("hostile").toStdString()), 4);
        CTempFolder folder;
        const QString first = writeBytes(folder, "first.qpx", qpx(5, 4, qRgb(200, 10, 10)));
        const QString second = writeBytes(folder, "second.qpx", qpx(6, 2, qRgb(10, 10, 200)));
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(200, 200);
        QVERIFY(view.showImage(first));
        QCOMPARE(host.lastDecoder(), 3);
        QCOMPARE(view.kit().image().pixel(4, 3), qRgb(200, 10, 10));

        // Each reported once with its path: in problems(), and to the user in Japanese.
        const std::vector<std::string> culprits{"a_crashes.spi", "b_exits.spi", "c_hangs.spi"};
        const std::vector<std::string> reasons{"SIGSEGV", "exit status 3", "does not answer within 1000 ms"};
        const std::vector<std::string> told{"異常終了しました", "異常終了しました", "1秒以内に応答しませんでした"};
        QCOMPARE(host.problems().size(), std::size_t(3));
        QCOMPARE(ui.texts().size(), std::size_t(3));
        for (std::size_t i = 0; i < culprits.size(); ++i) {
            const std::string path = host.plugins().at(i).path();
            QCOMPARE(host.problems().at(i).path, path);
            QVERIFY2(path.find(culprits[i]) != std::string::npos, path.c_str());
            QVERIFY2(host.problems().at(i).what.find(reasons[i]) != std::string::npos, host.problems().at(i).what.c_str());
            QVERIFY2(ui.texts().at(i).find(told[i]) != std::string::npos, ui.texts().at(i).c_str());
            QVERIFY2(ui.texts().at(i).find(path) != std::string::npos, ui.texts().at(i).c_str());
        }

        // Skipped from then on: the next picture comes at once, from the same helper, with nothing reported.
        const pid_t helper = host.helperProcessId();
        QVERIFY(helper > 0);
        QElapsedTimer timer;
        timer.start();
        view.clear();
        QVERIFY(view.showImage(second));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(view.kit().image().pixel(5, 1), qRgb(10, 10, 200));
        QCOMPARE(host.helperProcessId(), helper);
        host.scan(pluginFolder("hostile").toStdString());
        CDecodedPicture decoded;
        QCOMPARE(host.getPicture(first.toStdString(), decoded), CSPIControl::kSuccess);
        QCOMPARE(host.problems().size(), std::size_t(3));
        QCOMPARE(ui.texts().size(), std::size_t(3));
        host.setCallLimit(CSPIControl::kCallLimit);
    }

    void takesAPluginPictureWithoutHoldingItTwice() {
        CSPIControl& host = CSPIControl::instance();
        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 1);
        CTempFolder folder;
        constexpr int kWidth = 4096;
        constexpr int kHeight = 2048;
        constexpr qint64 kPixelBytes = qint64{kWidth} * kHeight * 4;  // 32 MiB
        const std::string path = writeBytes(folder, "large.qpx", qpx(kWidth, kHeight, qRgb(9, 8, 7))).toStdString();
        CDecodedPicture picture;
        const qint64 start = restartPeak();
        QCOMPARE(host.getPicture(path, picture), CSPIControl::kSuccess);
        const qint64 peak = peakResident() - start;
        QCOMPARE(picture.pixels.size(), std::size_t(kWidth) * kHeight);
        QCOMPARE(picture.pixels.back(), 0xFF090807u);
        // The shared block and the copy are never both whole: under 1.5 times the picture.
        QVERIFY2(peak < kPixelBytes * 3 / 2, qPrintable(QStringLiteral("peak %1 MiB").arg(peak >> 20)));
    }

    void reportsAHelperThatDoesNotStartOnce() {
        CSPIControl& host = CSPIControl::instance();
        CRecordingUserInterface ui;
        host.setHelperPath("/nonexistent/quillory-spi-host");
        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 0);
        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 0);
        QCOMPARE(ui.texts().size(), std::size_t(1));
        QVERIFY(ui.texts().front().find("補助プログラム") != std::string::npos);
        QVERIFY(ui.texts().front().find("/nonexistent/quillory-spi-host") != std::string::npos);
        host.setHelperPath(CSPIControl::defaultHelperPath());
        QCOMPARE(host.scan(pluginFolder("good").toStdString()), 1);
    }

    void refusesHelperAnswersThatBreakTheRules() {
        // Requests: a head that is not 2,048 bytes, a path with a zero byte, an unknown type.
        CSPIProtocol::Request request;
        request.type = CSPIProtocol::kIsSupported;
        request.path = "/p.spi";
        request.file = "/f.qpx";
        request.head = std::string(2047, 'h');
        CSPIProtocol::Request decoded;
        QVERIFY(CSPIProtocol::decode(CSPIProtocol::encode(request), decoded).has_value());
        request.head = std::string(2048, 'h');
        QVERIFY(!CSPIProtocol::decode(CSPIProtocol::encode(request), decoded).has_value());
        QCOMPARE(decoded.head, request.head);
        request.file = std::string("/f\0.qpx", 7);
        QVERIFY(CSPIProtocol::decode(CSPIProtocol::encode(request), decoded).has_value());
        QVERIFY(CSPIProtocol::decode(CWireMessage(99), decoded).has_value());

        // Pictures: over the 1 GiB limit, no size, decoded with an error result, the wrong answer type.
        CSPIProtocol::PictureReply picture;
        picture.picture = CSPIProtocol::Picture::Decoded;
        picture.width = 32768;
        picture.height = 8193;  // 32768 x 8193 x 4 bytes: just over 1 GiB
        picture.bitCount = 24;
        CSPIProtocol::PictureReply back;
        const auto over = CSPIProtocol::decode(CSPIProtocol::encode(picture), back);
        QVERIFY(over && over->find("over the picture limit") != std::string::npos);
        picture.height = 8192;
        QVERIFY(!CSPIProtocol::decode(CSPIProtocol::encode(picture), back).has_value());
        picture.width = 0;
        QVERIFY(CSPIProtocol::decode(CSPIProtocol::encode(picture), back).has_value());
        picture.width = 10;
        picture.result = 2;
        QVERIFY(CSPIProtocol::decode(CSPIProtocol::encode(picture), back).has_value());
        QVERIFY(CSPIProtocol::decode(CSPIProtocol::encodeSupport(1), back).has_value());

        // Loading: more formats than a plug-in may declare, formats of a plug-in that did not load.
        CSPIProtocol::LoadReply load;
        load.loaded = true;
        load.kind = 1;
        load.patterns.assign(300, "*.qpx");
        load.descriptions.assign(300, "QPX");
        CSPIProtocol::LoadReply loaded;
        QVERIFY(!CSPIProtocol::decode(CSPIProtocol::encode(load), loaded).has_value());  // cut at 256 when sent
        QCOMPARE(loaded.patterns.size(), CSPIProtocol::kMaxFormats);
        CWireMessage forged(CSPIProtocol::replyType(CSPIProtocol::kLoad));
        forged.addU32(1).addU32(0).addBytes("").addI32(1).addU32(257);
        QVERIFY(CSPIProtocol::decode(forged, loaded).has_value());
        CWireMessage notLoaded(CSPIProtocol::replyType(CSPIProtocol::kLoad));
        notLoaded.addU32(0).addU32(1).addBytes("no").addI32(0).addU32(1).addBytes("*.x").addBytes("x");
        QVERIFY(CSPIProtocol::decode(notLoaded, loaded).has_value());
    }

    void loadsThePluginsAtStartAndWhenSwitchedOn() {
        CSPIControl& host = CSPIControl::instance();
        CTestSession session({.settings = {{"System/UseSusiePlugin", 1}, {"System/SusiePlugin", pluginFolder("good")}}});
        QVERIFY(session.start());
        QCOMPARE(host.formatTotal(), 1);
        QCOMPARE(session.app().susiePluginFolder(), pluginFolder("good"));
        // On while on already: nothing is scanned; off to on: the new folder is taken over and scanned.
        session.app().susiePluginOptionChanged(true, true, pluginFolder("mixed"));
        QCOMPARE(host.plugins().size(), std::size_t(1));
        session.app().susiePluginOptionChanged(false, true, pluginFolder("mixed"));
        QCOMPARE(session.app().susiePluginFolder(), pluginFolder("mixed"));
        QCOMPARE(host.plugins().size(), std::size_t(3));  // qpx, then a_broken and b_qpx of the new folder
        session.stop();
    }

    void refusesTruncatedAndHostileFiles() {
        CRecordingUserInterface ui;
        CMemoryProfile profile;
        CImageView view(profile);
        view.resize(300, 200);
        CTempFolder folder;
        QFile sampleJpeg(samplePath("画像/桜.jpg"));
        QVERIFY(sampleJpeg.open(QIODevice::ReadOnly));
        const QByteArray jpeg = sampleJpeg.readAll();
        QFile samplePng(samplePath("画像/富士山.png"));
        QVERIFY(samplePng.open(QIODevice::ReadOnly));
        const QByteArray png = samplePng.readAll();
        QFile sampleGif(samplePath("画像/海.gif"));
        QVERIFY(sampleGif.open(QIODevice::ReadOnly));
        const QByteArray gif = sampleGif.readAll();
        const QString pcx = QString::fromStdString(folder / "whole.pcx");
        QCOMPARE(QProcess::execute("convert", {samplePath("画像/紅葉.bmp"), "-type", "TrueColor", pcx}), 0);
        QFile pcxFile(pcx);
        QVERIFY(pcxFile.open(QIODevice::ReadOnly));
        const QByteArray pcxBytes = pcxFile.readAll();

        // A PNG header declaring 100000 x 100000 pixels, with a valid header checksum and no data.
        QByteArray hugePng = png.left(33);
        const quint32 side = 100000;
        for (int i = 0; i < 4; ++i) {
            hugePng[16 + i] = char((side >> (24 - 8 * i)) & 0xFF);
            hugePng[20 + i] = char((side >> (24 - 8 * i)) & 0xFF);
        }
        const quint32 crc = [&] {
            quint32 c = 0xFFFFFFFF;
            for (int i = 12; i < 29; ++i) {
                c ^= quint8(hugePng[i]);
                for (int k = 0; k < 8; ++k)
                    c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
            }
            return ~c;
        }();
        for (int i = 0; i < 4; ++i)
            hugePng[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);

        const struct {
            const char* name;
            QByteArray bytes;
        } hostile[] = {
            {"cut.jpg", jpeg.left(jpeg.size() / 2)},
            {"cut.png", png.left(png.size() / 2)},
            {"cut.gif", gif.left(gif.size() / 2)},
            {"cut.pcx", pcxBytes.left(pcxBytes.size() / 2)},
            {"header-only.jpg", jpeg.left(200)},
            {"huge.png", hugePng + png.mid(33)},
            {"empty.bmp", QByteArray()},
            {"noise.tif", QByteArray(5000, '\x49')},
            {"text.png", QByteArray("not a picture at all\n")},
        };
        for (const auto& file : hostile) {
            QVERIFY2(!view.showImage(writeBytes(folder, file.name, file.bytes)), file.name);
            QVERIFY2(!view.hasImage(), file.name);
            shown(view);  // draws an empty white pane
        }
        QVERIFY(ui.texts().empty());
        // The whole files still show.
        QVERIFY(view.showImage(writeBytes(folder, "whole.jpg", jpeg)));
        QVERIFY(view.showImage(pcx));
    }
};

QTEST_MAIN(ImageViewTest)
#include "ImageViewTest.moc"
