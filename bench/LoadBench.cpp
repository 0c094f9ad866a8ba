// Load of lists of 10 to 100,000 entries: the indexed Load against the
// rescanning one, which reads list.inf once per entry; and the indexed Load
// of the same lists with names in code page 932.
#include <map>
#include <memory>
#include <string>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include "BenchFiles.h"
#include "support/RescannedFile.h"
#include "codepages/CodePages.h"

namespace {

// Every list size runs on memory the allocator keeps from one iteration to the
// next. By default glibc hands blocks over 32 MB back to the system at each
// free, so only the largest list (100,000 records of about 1 KB) would pay
// fresh page faults in every iteration, and its figure would show that
// threshold rather than Load's growth. The installer loads once per process
// and pays first-touch faults at every size alike.
const bool g_memoryKept = mallopt(M_MMAP_MAX, 0) == 1 && mallopt(M_TRIM_THRESHOLD, 1 << 30) == 1;

// One package per list size and code page, written on first use and kept for
// the run. In 932 the directory is 表ソ (95 5C 83 5C: both second bytes are
// backslashes) and the file name starts with マップ.
const CBenchDir& Package(int entries, int codePage)
{
    static std::map<std::pair<int, int>, std::unique_ptr<CBenchDir>> packages;
    std::unique_ptr<CBenchDir>& package = packages[{entries, codePage}];
    if (!package) {
        package = std::make_unique<CBenchDir>("load-" + std::to_string(codePage) + "-" + std::to_string(entries));
        package->Write("setup.inf", kBenchSetup);
        const std::string directory = codePage == 932 ? "\x95\x5C\x83\x5C" : "maps";
        const std::string name = codePage == 932 ? "\x83\x7D\x83\x62\x83\x76" : "map";
        package->Write("list.inf", MakeList(entries, [&](int n) {
                           return "data\\" + directory + "\\" + name + std::to_string(n) + ".pk3;$setupdir\\" +
                                  directory + "\\;C;" + std::to_string(n);
                       }));
    }
    return *package;
}

void LoadList(benchmark::State& state, bool indexed, int codePage = CodePages::kDefaultCodePage)
{
    if (!g_memoryKept)
        state.SkipWithError("the allocator cannot be told to keep its memory");
    if (!CodePages::SetCodePage(codePage))
        state.SkipWithError("the system cannot convert the code page");
    const int entries = static_cast<int>(state.range(0));
    const CBenchDir& package = Package(entries, codePage);
    const std::string setupPath = (package.Root() / "setup.inf").string();
    const std::string listPath = (package.Root() / "list.inf").string();
    for (auto _ : state) {
        CSetupInfo info;
        CFileSetupSources files;
        const char* loaded = indexed
                                 ? info.Load(setupPath.c_str(), listPath.c_str(), files)
                                 : LoadDescription<CRescannedFile>(info, setupPath.c_str(), listPath.c_str(), files);
        if (!loaded || info.m_files.GetSize() != static_cast<size_t>(entries)) {
            state.SkipWithError("the package did not load whole");
            break;
        }
        benchmark::DoNotOptimize(info.m_files[0].szSource[0]);
    }
    CodePages::SetCodePage(CodePages::kDefaultCodePage);
    state.SetComplexityN(entries);
    state.SetItemsProcessed(state.iterations() * entries);
}

void BM_LoadIndexed(benchmark::State& state) { LoadList(state, true); }

void BM_LoadRescanning(benchmark::State& state) { LoadList(state, false); }

void BM_LoadIndexed932(benchmark::State& state) { LoadList(state, true, 932); }

}  // namespace

BENCHMARK(BM_LoadIndexed)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oAuto);
BENCHMARK(BM_LoadIndexed932)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
// The rescanning Load grows with the square of the list: 10,000 entries take seconds.
BENCHMARK(BM_LoadRescanning)
    ->RangeMultiplier(10)
    ->Range(10, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oAuto);
