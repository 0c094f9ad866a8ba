#include "BenchFiles.h"

#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

const char kBenchSetup[] =
    "[Setup]\r\n"
    "DEFAULTINSTALL=Standard\r\n"
    "Standard=Pack\r\n"
    "Copyright=Benchmark package\r\n"
    "\r\n"
    "[Pack]\r\n"
    "Title=Benchmark Pack\r\n"
    "InstallText=Choose a directory\r\n"
    "DefaultDir=C:\\Games\\Bench\r\n";

CBenchDir::CBenchDir(const std::string& name)
    : m_root(fs::temp_directory_path() / ("kivbench-" + std::to_string(getpid()) + "-" + name))
{
    fs::remove_all(m_root);
    fs::create_directories(m_root);
}

CBenchDir::~CBenchDir()
{
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void CBenchDir::Write(const std::string& relative, const std::string& bytes) const
{
    const fs::path file = m_root / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}
