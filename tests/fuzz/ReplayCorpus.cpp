// Runs a fuzzer's entry point on every seed of the corpus directories named, so that each seed is a
// regression case of every native test run (a failed check traps).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size);

int main(int argc, char** argv)
{
    int seeds = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& seed : std::filesystem::directory_iterator(argv[i])) {
            std::printf("%s\n", seed.path().filename().c_str());
            std::fflush(stdout);
            std::ifstream in(seed.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
            ++seeds;
        }
    }
    std::printf("%d seeds\n", seeds);
    return seeds > 0 ? 0 : 1;
}
