// Install against the plain platform copy call in a loop over the same
// files: the cost of the installer's own work per entry (directory test,
// path composition) on top of the copying.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchFiles.h"
#include "EntryPaths.h"
#include "FileSystem.h"
#include "SetupInfo.h"

namespace {

std::string Backslashed(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// A loaded package whose C entries copy files of one size into a few
// sub-directories of the target, and the same copies as plain path pairs.
class CInstallCase {
public:
    CInstallCase(const std::string& name, int files, size_t fileSize)
        : m_dir(name), m_start(m_dir.Root() / "package"), m_target(Backslashed((m_dir.Root() / "target").string()))
    {
        const std::string content(fileSize, 'k');
        for (int n = 1; n <= files; ++n)
            m_dir.Write("package/data/file" + std::to_string(n) + ".dat", content);
        m_dir.Write("package/setup.inf", kBenchSetup);
        m_dir.Write("package/list.inf", MakeList(files, [](int n) {
                        return "data\\file" + std::to_string(n) + ".dat;$setupdir\\dir" + std::to_string(n % 10) +
                               "\\;C;" + std::to_string(n);
                    }));
        std::filesystem::current_path(m_start);
        m_loaded = m_info.Load("setup.inf", "list.inf") != nullptr &&
                   m_info.m_files.GetSize() == static_cast<size_t>(files);

        char target[kPathSize];
        NormaliseTarget(m_target.c_str(), target);
        for (size_t i = 0; i < m_info.m_files.GetSize(); ++i) {
            char entryDir[kPathSize];
            char destPath[kPathSize];
            if (ComputeEntryPaths(target, m_info.m_files[i], entryDir, destPath))
                m_copies.emplace_back(m_info.m_files[i].szSource, destPath);
        }
        // One run makes the directories, so both loops time copying over
        // existing files into existing directories.
        m_loaded = m_loaded && m_info.Install(m_target.c_str()) == 0;
    }

    // Both loops resolve the relative sources against the package directory.
    void Install(benchmark::State& state)
    {
        std::filesystem::current_path(m_start);
        for (auto _ : state) {
            if (!m_loaded || m_info.Install(m_target.c_str()) != 0) {
                state.SkipWithError("Install did not copy every file");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(m_copies.size()));
    }

    void PlainCopies(benchmark::State& state)
    {
        std::filesystem::current_path(m_start);
        for (auto _ : state) {
            for (const auto& [source, destination] : m_copies) {
                if (!Platform::CopyFileOverwrite(source.c_str(), destination.c_str())) {
                    state.SkipWithError("a plain copy failed");
                    return;
                }
            }
        }
        state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(m_copies.size()));
    }

private:
    CBenchDir m_dir;
    std::filesystem::path m_start;
    std::string m_target;
    CSetupInfo m_info;
    bool m_loaded = false;
    std::vector<std::pair<std::string, std::string>> m_copies;
};

CInstallCase& SmallFiles()
{
    static CInstallCase files("small", 1000, 1024);
    return files;
}

CInstallCase& LargeFiles()
{
    static CInstallCase files("large", 4, 32u << 20);
    return files;
}

void BM_Install1000SmallFiles(benchmark::State& state)
{
    SmallFiles().Install(state);
}

void BM_PlainCopy1000SmallFiles(benchmark::State& state)
{
    SmallFiles().PlainCopies(state);
}

void BM_Install4LargeFiles(benchmark::State& state)
{
    LargeFiles().Install(state);
}

void BM_PlainCopy4LargeFiles(benchmark::State& state)
{
    LargeFiles().PlainCopies(state);
}

}  // namespace

// Copying is disk work: wall time, several repetitions, medians compared.
BENCHMARK(BM_Install1000SmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainCopy1000SmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Install4LargeFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainCopy4LargeFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
