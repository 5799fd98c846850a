// The cost of one picture decoded by an image plug-in: in the helper process (IsSupported and GetPicture
// over the channel, the pixels back through shared memory) against the plug-in called in this process with
// the same checks and conversion. Pictures of 64 x 48, 640 x 480 and 2000 x 1500 pixels in the test
// plug-in's ".qpx" format. Run with --benchmark_repetitions=10 for medians.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/CPcxDecoder.h"
#include "preview/CSPIBitmap.h"
#include "preview/CSPIControl.h"
#include "preview/CSPICore.h"

namespace {

const std::string kPluginFolder = QUILLORY_BENCH_PLUGIN_DIR;

// A ".qpx" picture of width x height pixels in a temporary folder, made once per size.
std::string picture(int width, int height) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillory-spi-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::to_string(width) + "x" + std::to_string(height) + ".qpx")).string();
    if (!std::filesystem::exists(path)) {
        std::string bytes = "QPX1";
        for (int value : {width, height}) {
            bytes.push_back(static_cast<char>(value & 0xFF));
            bytes.push_back(static_cast<char>(value >> 8));
        }
        for (int i = 0; i < width * height; ++i)
            bytes += {static_cast<char>(i), static_cast<char>(i >> 8), static_cast<char>(i >> 16)};
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return path;
}

std::string head(const std::string& path) {
    std::string bytes(CSPIControl::kHeadSize, '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The processor time a process has used, user and system, in microseconds (0 when it cannot be read).
double processorMicroseconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t end = line.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            user = std::stoull(field);
        if (number == 15)
            system = std::stoull(field);
    }
    return double(user + system) * 1e6 / double(sysconf(_SC_CLK_TCK));
}

void BM_PictureInProcess(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const std::string path = picture(width, width * 3 / 4);
    CSPICore plugin;
    std::string why;
    bool reportable = false;
    if (!plugin.load(kPluginFolder + "/qpx.spi", why, reportable)) {
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state) {
        std::string bytes = head(path);
        if (plugin.isSupported()(path.c_str(), bytes.data()) != 1) {
            state.SkipWithError("IsSupported says no");
            return;
        }
        void* info = nullptr;
        void* bits = nullptr;
        if (plugin.getPicture()(path.c_str(), 0, 0, &info, &bits, nullptr, 0) != 0) {
            state.SkipWithError("GetPicture failed");
            return;
        }
        CSPIBitmap bitmap;
        std::string fault;
        CDecodedPicture decoded;
        if (bitmap.check(info, bits, CPcxDecoder::kMaxPictureBytes, fault) == CSPIBitmap::Check::Valid) {
            decoded.width = bitmap.width();
            decoded.height = bitmap.height();
            decoded.pixels.resize(bitmap.pixelBytes() / 4);
            bitmap.convert(decoded.pixels.data());
        }
        std::free(info);
        std::free(bits);
        benchmark::DoNotOptimize(decoded.pixels.data());
    }
    state.SetLabel(std::to_string(width) + " x " + std::to_string(width * 3 / 4));
}

void BM_PictureInHelper(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const std::string path = picture(width, width * 3 / 4);
    CSPIControl& host = CSPIControl::instance();
    if (host.plugins().empty() && host.scan(kPluginFolder) != 1) {
        state.SkipWithError("the plug-in does not load in the helper");
        return;
    }
    CDecodedPicture warm;
    host.getPicture(path, warm);
    const pid_t helper = host.helperProcessId();
    const double helperBefore = processorMicroseconds(helper);
    for (auto _ : state) {
        CDecodedPicture decoded;
        if (host.getPicture(path, decoded) != CSPIControl::kSuccess) {
            state.SkipWithError("the helper does not decode the picture");
            return;
        }
        benchmark::DoNotOptimize(decoded.pixels.data());
    }
    // The helper's processor time per picture, beside this process's own (the "CPU" column).
    if (host.helperProcessId() == helper && state.iterations() > 0)
        state.counters["helper_cpu_us"] = (processorMicroseconds(helper) - helperBefore) / double(state.iterations());
    state.SetLabel(std::to_string(width) + " x " + std::to_string(width * 3 / 4));
}

}  // namespace

BENCHMARK(BM_PictureInProcess)->Arg(64)->Arg(640)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PictureInHelper)->Arg(64)->Arg(640)->Arg(2000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
