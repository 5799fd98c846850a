// The image mode on a 24-megapixel photo (6000 x 4000 JPEG, made here), in a 1000 x 700 pane on the
// offscreen platform: showing it fitted (decode and first paint), the reference being a full decode by
// QImageReader of the same file in the same run; zoom steps from 1/10 up to 10x and back, each step to the
// repainted pane (median and slowest); the first step out of fit mode, which decodes the whole picture;
// and the pixels the image mode holds against 2 x the displayed picture plus the decoded picture.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

#include "gui/CommandIds.h"
#include "platform/CMemoryProfile.h"
#include "preview/CImageView.h"

namespace {

const QSize kPane(1000, 700);
constexpr double kMiB = 1024.0 * 1024.0;

// A photo-like picture: smooth gradients with fine detail, so that the JPEG is of a realistic size.
const QString& photoPath() {
    static QTemporaryDir folder;
    static const QString path = [] {
        QImage image(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x * 255) / 6000, (y * 255) / 4000, ((x * 7) ^ (y * 3)) & 0xFF);
        }
        const QString file = folder.path() + "/photo24mp.jpg";
        QImageWriter writer(file);
        writer.setQuality(90);
        writer.write(image);
        return file;
    }();
    return path;
}

std::unique_ptr<CImageView> makeView(CMemoryProfile& profile) {
    auto view = std::make_unique<CImageView>(profile);
    view->resize(kPane);
    view->show();
    return view;
}

// Paints the pane as the screen would get it.
void paint(CImageView& view) {
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&target);
    benchmark::DoNotOptimize(target.constBits());
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_FullDecode_Reference(benchmark::State& state) {
    const QString path = photoPath();
    for (auto _ : state) {
        QImageReader reader(path);
        QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ShowFitted(benchmark::State& state) {
    const QString path = photoPath();
    CMemoryProfile profile;
    auto view = makeView(profile);
    for (auto _ : state) {
        view->clear();
        if (!view->showImage(path))
            state.SkipWithError("the photo does not show");
        paint(*view);
    }
    const QSize displayed = view->displayedSize();
    const double displayedBytes = double(displayed.width()) * displayed.height() * 4;
    const double decodedBytes = double(view->kit().image().sizeInBytes());
    state.counters["held_MiB"] = double(view->heldBytes()) / kMiB;
    state.counters["budget_MiB"] = (2 * displayedBytes + decodedBytes) / kMiB;
    state.counters["decoded_w"] = view->kit().image().width();
}

void BM_ZoomSteps(benchmark::State& state) {
    const QString path = photoPath();
    CMemoryProfile profile;
    auto view = makeView(profile);
    view->showImage(path);
    paint(*view);
    std::vector<double> steps;
    double firstStep = 0;
    double worstBudgetShare = 0;
    for (auto _ : state) {
        view->onCommand(cmd::kImageFitToWindow);
        view->showImage(path);  // fitted again: the reduced decode
        paint(*view);
        QElapsedTimer timer;
        timer.start();
        view->onCommand(cmd::kImageStepLarger);  // out of fit mode: the whole picture is decoded
        paint(*view);
        firstStep = double(timer.nsecsElapsed()) / 1e6;
        // 90 steps smaller (down to 1/9.9), 180 larger (up to 10x), 90 smaller again.
        for (int i = 0; i < 360; ++i) {
            const int id = (i < 90 || i >= 270) ? cmd::kImageStepSmaller : cmd::kImageStepLarger;
            timer.start();
            view->onCommand(id);
            paint(*view);
            steps.push_back(double(timer.nsecsElapsed()) / 1e6);
            const QSize displayed = view->displayedSize();
            const double budget = 2.0 * displayed.width() * displayed.height() * 4 + view->kit().image().sizeInBytes();
            worstBudgetShare = std::max(worstBudgetShare, double(view->heldBytes()) / budget);
        }
    }
    state.counters["step_median_ms"] = median(steps);
    state.counters["step_max_ms"] = steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end());
    state.counters["first_step_from_fit_ms"] = firstStep;
    state.counters["held_over_budget_max"] = worstBudgetShare;
    state.counters["held_zoomed_MiB"] = double(view->heldBytes()) / kMiB;
}

}  // namespace

BENCHMARK(BM_FullDecode_Reference)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowFitted)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomSteps)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
