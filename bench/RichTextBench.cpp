// Showing a 1 MB rich text in the preview's editor on the offscreen platform: read from the file, built into
// the document and laid out for a 600 x 400 editor. Two files: one paragraph of short runs that change bold,
// colour and size (the worst case for a layout per insert), and the same runs in paragraphs of about 2 KB.
// The reference, in the same run, is a plain QTextEdit given the same text as plain text: what a Qt editor
// pays to show that text at all. The end of the run prints the medians and the ratio of each pair. The
// reading alone, into a document no view shows, tells the reader's part from the layout's.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "preview/CREditCtrl.h"
#include "preview/CRtfReader.h"

namespace {

constexpr qsizetype kFileBytes = 1024 * 1024;
const QSize kEditor(600, 400);

struct Sample {
    QString path;
    QString plainText;  // the text the rich text shows
};

// Runs of plain ASCII, Shift-JIS escapes and Unicode, each with a format of its own.
QByteArray richText(qsizetype paragraphBytes) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 IPAGothic;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\uc1\\pard\\f0\\fs20 ";
    const char* const runs[] = {"\\b\\cf1 bold red words ", "\\b0\\cf0 plain words \\'93\\'fa\\'96\\'7b\\'8c\\'ea ",
                                "\\i\\cf2\\fs24 italic blue \\u26085?\\u26412? ", "\\i0\\cf0\\fs20 and more plain text "};
    qsizetype sinceBreak = 0;
    for (int run = 0; rtf.size() < kFileBytes; ++run) {
        const QByteArray piece = runs[run % 4];
        rtf += piece;
        sinceBreak += piece.size();
        if (paragraphBytes > 0 && sinceBreak >= paragraphBytes) {
            rtf += "\\par\r\n";
            sinceBreak = 0;
        }
    }
    return rtf + "\\par}";
}

const Sample& sample(bool oneParagraph) {
    static QTemporaryDir folder;
    static std::map<bool, Sample> samples;
    auto found = samples.find(oneParagraph);
    if (found == samples.end()) {
        Sample made;
        made.path = folder.path() + (oneParagraph ? "/one-paragraph.rtf" : "/paragraphs.rtf");
        QFile file(made.path);
        file.open(QIODevice::WriteOnly);
        file.write(richText(oneParagraph ? 0 : 2048));
        file.close();
        CREditCtrl editor(nullptr);
        editor.loadFile(made.path);
        made.plainText = editor.toPlainText();
        found = samples.emplace(oneParagraph, made).first;
    }
    return found->second;
}

std::map<std::string, std::vector<double>> gMilliseconds;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void showRichText(benchmark::State& state, bool oneParagraph) {
    const Sample& file = sample(oneParagraph);
    for (auto _ : state) {
        CREditCtrl editor(nullptr);
        editor.resize(kEditor);
        editor.show();
        QElapsedTimer timer;
        timer.start();
        if (editor.loadFile(file.path) != CCodedTextFile::Status::Loaded) {
            state.SkipWithError("the rich text does not load for editing");
        }
        QApplication::processEvents();
        gMilliseconds[oneParagraph ? "rich, one paragraph" : "rich, paragraphs"].push_back(timer.nsecsElapsed() / 1e6);
        benchmark::DoNotOptimize(editor.document()->characterCount());
    }
    state.counters["characters"] = static_cast<double>(file.plainText.size());
}

void showPlainText(benchmark::State& state, bool oneParagraph) {
    const Sample& file = sample(oneParagraph);
    for (auto _ : state) {
        QTextEdit editor;
        editor.resize(kEditor);
        editor.show();
        QElapsedTimer timer;
        timer.start();
        editor.setPlainText(file.plainText);
        QApplication::processEvents();
        gMilliseconds[oneParagraph ? "plain, one paragraph" : "plain, paragraphs"].push_back(timer.nsecsElapsed() / 1e6);
        benchmark::DoNotOptimize(editor.document()->characterCount());
    }
}

// The reading alone: the rich text built into a document that no view shows.
void BM_ReadOnly1MB_Paragraphs(benchmark::State& state) {
    QFile file(sample(false).path);
    file.open(QIODevice::ReadOnly);
    const QByteArray rtf = file.readAll();
    for (auto _ : state) {
        QTextDocument document;
        QString error;
        CRtfReader::read(rtf, document, &error);
        benchmark::DoNotOptimize(document.characterCount());
    }
}

void BM_RichText1MB_OneParagraph(benchmark::State& state) {
    showRichText(state, true);
}
void BM_Reference_PlainText_OneParagraph(benchmark::State& state) {
    showPlainText(state, true);
}
void BM_RichText1MB_Paragraphs(benchmark::State& state) {
    showRichText(state, false);
}
void BM_Reference_PlainText_Paragraphs(benchmark::State& state) {
    showPlainText(state, false);
}

}  // namespace

BENCHMARK(BM_RichText1MB_OneParagraph)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Reference_PlainText_OneParagraph)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_RichText1MB_Paragraphs)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_Reference_PlainText_Paragraphs)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_ReadOnly1MB_Paragraphs)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* shape : {"one paragraph", "paragraphs"}) {
        const double rich = median(gMilliseconds[std::string("rich, ") + shape]);
        const double plain = median(gMilliseconds[std::string("plain, ") + shape]);
        if (rich > 0 && plain > 0) {
            std::printf("1 MB rich text, %s: %.0f ms; the same text as plain text: %.0f ms; ratio %.2f\n", shape, rich,
                        plain, rich / plain);
        }
    }
    return 0;
}
