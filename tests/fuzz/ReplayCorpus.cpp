// Runs the fuzzer's entry point on every seed of the corpus directory named, so that each seed is a
// regression case of every native test run: a failed check traps.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size);

int main(int, char** argv)
{
    for (const auto& seed : std::filesystem::directory_iterator(argv[1])) {
        std::cout << seed.path().filename().string() << std::endl;
        std::ifstream in(seed.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
}
