// Install against the plain platform copy call in a loop over the same
// files: the cost of the installer's own work per entry (directory test,
// path composition) on top of the copying.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <time.h>

#include <benchmark/benchmark.h>

#include "BenchFiles.h"
#include "install/Install.h"
#include "platform/Platform.h"
#include "setupinfo/SetupInfo.h"
#include "support/WholeInstall.h"

namespace {

// Seconds of wall time and of this process's CPU time.
struct Times {
    double wall = 0;
    double cpu = 0;

    static Times Now()
    {
        timespec wall, cpu;
        clock_gettime(CLOCK_MONOTONIC, &wall);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        return {wall.tv_sec + wall.tv_nsec * 1e-9, cpu.tv_sec + cpu.tv_nsec * 1e-9};
    }
    Times operator-(const Times& other) const { return {wall - other.wall, cpu - other.cpu}; }
    Times& operator+=(const Times& other)
    {
        wall += other.wall;
        cpu += other.cpu;
        return *this;
    }
};

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
        m_loaded =
            m_info.Load("setup.inf", "list.inf") != nullptr && m_info.m_files.GetSize() == static_cast<size_t>(files);

        WalkInstallSteps(
            m_info.m_files, m_target.c_str(),
            [](InstallStep& step, void* copies) {
                if (step.action == EntryAction::Copy && step.tooLong == StepPath::None)
                    static_cast<Copies*>(copies)->emplace_back(step.entry->szSource, step.destPath);
            },
            &m_copies);
        // One run makes the directories, so both loops time copying over
        // existing files into existing directories.
        m_loaded = m_loaded && Install(m_info, m_target.c_str()) == 0;
    }

    // Runs Install and the plain loop in turn, alternating which goes first,
    // and reports both and Install's overhead, in wall and in process CPU time
    // (the latter is not disturbed by other processes on the machine).
    void CompareWithPlainCopies(benchmark::State& state)
    {
        // Both loops resolve the relative sources against the package directory.
        std::filesystem::current_path(m_start);
        if (!m_loaded)
            state.SkipWithError("the package did not load or install");
        Times install, plain;
        bool installFirst = true;
        for (auto _ : state) {
            const Times before = Times::Now();
            if (installFirst) {
                install += RunInstall(state);
                plain += RunPlainCopies(state);
            } else {
                plain += RunPlainCopies(state);
                install += RunInstall(state);
            }
            installFirst = !installFirst;
            state.SetIterationTime((Times::Now() - before).wall);
        }
        const double iterations = static_cast<double>(state.iterations());
        if (iterations == 0 || state.error_occurred())
            return;
        state.counters["install_ms"] = 1000 * install.wall / iterations;
        state.counters["plain_ms"] = 1000 * plain.wall / iterations;
        state.counters["overhead_%"] = 100 * (install.wall - plain.wall) / plain.wall;
        state.counters["install_cpu_ms"] = 1000 * install.cpu / iterations;
        state.counters["plain_cpu_ms"] = 1000 * plain.cpu / iterations;
        state.counters["cpu_overhead_%"] = 100 * (install.cpu - plain.cpu) / plain.cpu;
    }

private:
    // Each run does nothing once an error is reported: it is reported once.
    Times RunInstall(benchmark::State& state)
    {
        const Times start = Times::Now();
        if (!state.error_occurred() && Install(m_info, m_target.c_str()) != 0)
            state.SkipWithError("Install did not copy every file");
        return Times::Now() - start;
    }

    Times RunPlainCopies(benchmark::State& state)
    {
        const Times start = Times::Now();
        for (const auto& [source, destination] : m_copies) {
            if (state.error_occurred())
                break;
            if (!Platform::CopyFileOverwrite(source.c_str(), destination.c_str()))
                state.SkipWithError("a plain copy failed");
        }
        return Times::Now() - start;
    }

    CBenchDir m_dir;
    std::filesystem::path m_start;
    std::string m_target;
    CSetupInfo m_info;
    bool m_loaded = false;
    using Copies = std::vector<std::pair<std::string, std::string>>;
    Copies m_copies;
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

void BM_Install1000SmallFiles(benchmark::State& state) { SmallFiles().CompareWithPlainCopies(state); }

void BM_Install4LargeFiles(benchmark::State& state) { LargeFiles().CompareWithPlainCopies(state); }

}  // namespace

// Copying is disk work: each iteration times both loops, in alternating order.
BENCHMARK(BM_Install1000SmallFiles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_Install4LargeFiles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
