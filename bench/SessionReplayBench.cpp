// Replaying Chromium session files whose commands each touch much state: 32,768 "path pruned" commands on a
// tab with 32,768 navigations, and 32,768 "window closed" commands for windows that hold none of the 32,768
// tabs. Both must stay linear in the file (well under 50 ms each).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/CSnssReader.h"
#include "platform/SnssFormat.h"

namespace {

constexpr std::int32_t kCommands = 32768;

void putI32(std::string& out, std::int32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    }
}

void putCommand(std::string& file, std::uint8_t id, const std::string& payload) {
    const std::size_t size = payload.size() + 1;
    file += static_cast<char>(size & 0xFF);
    file += static_cast<char>(size >> 8);
    file += static_cast<char>(id);
    file += payload;
}

void putFields(std::string& file, std::uint8_t id, std::initializer_list<std::int32_t> fields) {
    std::string payload;
    for (const std::int32_t field : fields) {
        putI32(payload, field);
    }
    putCommand(file, id, payload);
}

void putNavigation(std::string& file, std::int32_t tab, std::int32_t index) {
    const std::string url = "https://example.com/" + std::to_string(index);
    std::string pickle;
    putI32(pickle, tab);
    putI32(pickle, index);
    putI32(pickle, static_cast<std::int32_t>(url.size()));
    pickle += url;
    pickle.append((4 - pickle.size() % 4) % 4, '\0');
    putI32(pickle, 0);  // empty title
    std::string payload;
    putI32(payload, static_cast<std::int32_t>(pickle.size()));
    putCommand(file, SnssFormat::kUpdateTabNavigation, payload + pickle);
}

std::string header() {
    std::string file = "SNSS";
    putI32(file, SnssFormat::kVersionPlainWithMarker);
    return file;
}

// One tab with kCommands navigations, then kCommands prunes: every other one removes a navigation from
// the middle of the history, the others name a range past its end.
std::string prunedFile() {
    std::string file = header();
    putFields(file, SnssFormat::kSetTabWindow, {1, 1});
    for (std::int32_t i = 0; i < kCommands; ++i) {
        putNavigation(file, 1, i);
    }
    std::int32_t left = kCommands;
    for (std::int32_t i = 0; i < kCommands; ++i) {
        if (i % 2 == 0) {
            putFields(file, SnssFormat::kTabNavigationPathPruned, {1, left / 2, 1});
            --left;
        } else {
            putFields(file, SnssFormat::kTabNavigationPathPruned, {1, 1 << 30, 1});
        }
    }
    return file;
}

// kCommands tabs in window 1, then kCommands closes of windows that were never mentioned.
std::string closedWindowsFile() {
    std::string file = header();
    for (std::int32_t i = 0; i < kCommands; ++i) {
        putFields(file, SnssFormat::kSetTabWindow, {1, 100 + i});
    }
    putNavigation(file, 100, 0);
    for (std::int32_t i = 0; i < kCommands; ++i) {
        putFields(file, SnssFormat::kWindowClosed, {1000000 + i, 0, 0, 0});
    }
    return file;
}

void replay(benchmark::State& state, const std::string& file) {
    for (auto _ : state) {
        CSessionError error;
        const auto session = CSnssReader(file, "Session_bench").read(&error);
        if (!session || session->windows().empty()) {
            state.SkipWithError(error.message().c_str());
            return;
        }
        benchmark::DoNotOptimize(session);
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
}

void BM_ReplayPathPruned32k(benchmark::State& state) {
    static const std::string file = prunedFile();
    replay(state, file);
}

void BM_ReplayUnknownWindowClosed32k(benchmark::State& state) {
    static const std::string file = closedWindowsFile();
    replay(state, file);
}

}  // namespace

BENCHMARK(BM_ReplayPathPruned32k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReplayUnknownWindowClosed32k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
