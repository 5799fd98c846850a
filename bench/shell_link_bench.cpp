// Shell links: writing and reading a link, resolving an existing target, and the worst case of
// resolving, a lost target whose search walks the whole entry budget.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/CMovedFileSearch.h"
#include "platform/CShellLink.h"

namespace fs = std::filesystem;

namespace {

// A folder tree of `folders` folders with `filesPerFolder` files each, made once per process.
class Tree {
public:
    Tree(int folders, int filesPerFolder) {
        std::random_device random;
        m_root = fs::temp_directory_path() / ("quillory-bench-" + std::to_string(random()));
        for (int f = 0; f < folders; ++f) {
            const fs::path folder = m_root / ("folder" + std::to_string(f));
            fs::create_directories(folder);
            for (int i = 0; i < filesPerFolder; ++i) {
                std::ofstream(folder / ("file" + std::to_string(i) + ".jpg")) << f << ' ' << i;
            }
        }
    }
    ~Tree() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
};

Tree& smallTree() {
    static Tree tree(1, 1);
    return tree;
}

Tree& bigTree() {
    static Tree tree(100, 210);  // 21,100 entries: more than a search may visit
    return tree;
}

void BM_SaveAndLoadLink(benchmark::State& state) {
    const std::string target = (smallTree().root() / "folder0/file0.jpg").string();
    const std::string linkPath = (smallTree().root() / "写真.lnk").string();
    const CShellLink link = CShellLink::forTarget(target);
    for (auto _ : state) {
        link.save(linkPath);
        benchmark::DoNotOptimize(CShellLink::load(linkPath));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveAndLoadLink);

void BM_LoadLink(benchmark::State& state) {
    const std::string linkPath = (smallTree().root() / "load.lnk").string();
    CShellLink::forTarget((smallTree().root() / "folder0/file0.jpg").string()).save(linkPath);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CShellLink::load(linkPath));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadLink);

void BM_ResolveExistingTarget(benchmark::State& state) {
    CShellLink link = CShellLink::forTarget((smallTree().root() / "folder0/file0.jpg").string());
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.resolve(""));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResolveExistingTarget);

// A target lost for good: the search visits its whole budget of folder entries before giving up.
void BM_ResolveLostTarget(benchmark::State& state) {
    const fs::path root = bigTree().root();
    CShellLink lost = CShellLink::forTarget((root / "gone/lost.jpg").string());
    for (auto _ : state) {
        CShellLink copy = lost;
        benchmark::DoNotOptimize(copy.resolve(root.string()));
    }
    CMovedFileSearch search(lost.targetPath(), lost.findData(), 0, 0);
    search.find(root.string());
    state.counters["entries_visited"] = static_cast<double>(search.visitedEntries());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResolveLostTarget)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
