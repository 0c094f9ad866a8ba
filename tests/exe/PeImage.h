// Test support: the headers, sections and imports of a PE executable, read from its file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PeImport {
    std::string dll;
    std::vector<std::string> functions;   // by name; by ordinal as "#n"
};

struct PeSection {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};

class CPeImage {
public:
    // Reads and parses the file; Error() tells what went wrong, empty when nothing did.
    explicit CPeImage(const std::string& path);

    const std::string& Error() const { return m_error; }
    uint64_t FileSize() const { return m_bytes.size(); }
    uint16_t Machine() const { return m_machine; }
    uint16_t FileCharacteristics() const { return m_characteristics; }
    uint16_t Magic() const { return m_magic; }
    uint16_t Subsystem() const { return m_subsystem; }
    uint16_t DllCharacteristics() const { return m_dllCharacteristics; }
    uint32_t SymbolTableOffset() const { return m_symbolTable; }
    uint32_t SymbolCount() const { return m_symbolCount; }
    const std::vector<PeSection>& Sections() const { return m_sections; }
    // The size of data directory `index` (0 when the image has none).
    uint32_t DirectorySize(unsigned index) const;
    // Ordinary and delay-load imports together.
    const std::vector<PeImport>& Imports() const { return m_imports; }
    bool ContainsText(const std::string& text) const;

private:
    bool Parse();
    bool ReadImports(uint32_t rva, bool delayLoad);
    // File offset of an RVA, or 0 when no section holds it.
    uint32_t Offset(uint32_t rva) const;
    bool ReadString(uint32_t rva, std::string& text) const;
    template <typename T> bool Read(uint64_t offset, T& value) const;

    std::vector<uint8_t> m_bytes;
    std::string m_error;
    uint16_t m_machine = 0;
    uint16_t m_characteristics = 0;
    uint16_t m_magic = 0;
    uint16_t m_subsystem = 0;
    uint16_t m_dllCharacteristics = 0;
    uint32_t m_symbolTable = 0;
    uint32_t m_symbolCount = 0;
    std::vector<std::pair<uint32_t, uint32_t>> m_directories;   // rva, size
    std::vector<PeSection> m_sections;
    std::vector<PeImport> m_imports;
};
