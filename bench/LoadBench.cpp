// Load of lists of 10 to 100,000 entries: the indexed Load against the
// rescanning one, which reads list.inf once per entry.
#include <map>
#include <memory>
#include <string>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include "BenchFiles.h"
#include "RescannedFile.h"

namespace {

// Every list size runs on memory the allocator keeps from one iteration to the
// next. By default glibc hands blocks over 32 MB back to the system at each
// free, so only the largest list (100,000 records of about 1 KB) would pay
// fresh page faults in every iteration, and its figure would show that
// threshold rather than Load's growth. The installer loads once per process
// and pays first-touch faults at every size alike.
const bool g_memoryKept = mallopt(M_MMAP_MAX, 0) == 1 && mallopt(M_TRIM_THRESHOLD, 1 << 30) == 1;

// One package per list size, written on first use and kept for the run.
const CBenchDir& Package(int entries)
{
    static std::map<int, std::unique_ptr<CBenchDir>> packages;
    std::unique_ptr<CBenchDir>& package = packages[entries];
    if (!package) {
        package = std::make_unique<CBenchDir>("load-" + std::to_string(entries));
        package->Write("setup.inf", kBenchSetup);
        package->Write("list.inf", MakeList(entries, [](int n) {
                           return "data\\maps\\map" + std::to_string(n) + ".pk3;$setupdir\\maps\\;C;" +
                                  std::to_string(n);
                       }));
    }
    return *package;
}

void LoadList(benchmark::State& state, bool indexed)
{
    if (!g_memoryKept)
        state.SkipWithError("the allocator cannot be told to keep its memory");
    const int entries = static_cast<int>(state.range(0));
    const CBenchDir& package = Package(entries);
    const std::string setupPath = (package.Root() / "setup.inf").string();
    const std::string listPath = (package.Root() / "list.inf").string();
    for (auto _ : state) {
        CSetupInfo info;
        CFileSetupSources files;
        const char* loaded = indexed ? info.Load(setupPath.c_str(), listPath.c_str(), files)
                                     : info.LoadWith<CRescannedFile>(setupPath.c_str(), listPath.c_str(), files);
        if (!loaded || info.m_files.GetSize() != static_cast<size_t>(entries)) {
            state.SkipWithError("the package did not load whole");
            break;
        }
        benchmark::DoNotOptimize(info.m_files[0].szSource[0]);
    }
    state.SetComplexityN(entries);
    state.SetItemsProcessed(state.iterations() * entries);
}

void BM_LoadIndexed(benchmark::State& state)
{
    LoadList(state, true);
}

void BM_LoadRescanning(benchmark::State& state)
{
    LoadList(state, false);
}

}  // namespace

BENCHMARK(BM_LoadIndexed)->RangeMultiplier(10)->Range(10, 100000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oAuto);
// The rescanning Load grows with the square of the list: 10,000 entries take seconds.
BENCHMARK(BM_LoadRescanning)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oAuto);
