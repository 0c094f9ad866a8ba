#include "PeImage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
const unsigned kImportDirectory = 1;
const unsigned kDelayImportDirectory = 13;
}

CPeImage::CPeImage(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        m_error = "cannot open " + path;
        return;
    }
    m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!Parse() && m_error.empty())
        m_error = "malformed PE file " + path;
}

template <typename T> bool CPeImage::Read(uint64_t offset, T& value) const
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
    return true;
}

bool CPeImage::Parse()
{
    uint16_t mz = 0;
    uint32_t peOffset = 0;
    uint32_t signature = 0;
    if (!Read(0, mz) || mz != 0x5A4D || !Read(0x3C, peOffset) || !Read(peOffset, signature) ||
        signature != 0x00004550)
        return false;
    const uint64_t coff = peOffset + 4;
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    if (!Read(coff, m_machine) || !Read(coff + 2, sectionCount) || !Read(coff + 8, m_symbolTable) ||
        !Read(coff + 12, m_symbolCount) || !Read(coff + 16, optionalSize) ||
        !Read(coff + 18, m_characteristics))
        return false;
    const uint64_t optional = coff + 20;
    if (!Read(optional, m_magic) || !Read(optional + 68, m_subsystem) ||
        !Read(optional + 70, m_dllCharacteristics))
        return false;
    // The data directories follow the fields whose size differs between PE32 and PE32+.
    const uint64_t countField = optional + (m_magic == 0x20B ? 108 : 92);
    uint32_t directoryCount = 0;
    if (!Read(countField, directoryCount) || directoryCount > 16)
        return false;
    for (uint32_t i = 0; i < directoryCount; ++i) {
        uint32_t rva = 0;
        uint32_t size = 0;
        if (!Read(countField + 4 + 8 * i, rva) || !Read(countField + 8 + 8 * i, size))
            return false;
        m_directories.emplace_back(rva, size);
    }
    const uint64_t sectionTable = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = sectionTable + 40ull * i;
        char name[9] = {};
        PeSection section;
        if (at + 40 > m_bytes.size())
            return false;
        std::memcpy(name, m_bytes.data() + at, 8);
        section.name = name;
        Read(at + 8, section.virtualSize);
        Read(at + 12, section.virtualAddress);
        Read(at + 16, section.rawSize);
        Read(at + 20, section.rawOffset);
        m_sections.push_back(section);
    }
    if (DirectorySize(kImportDirectory) && !ReadImports(m_directories[kImportDirectory].first, false))
        return false;
    if (DirectorySize(kDelayImportDirectory) && !ReadImports(m_directories[kDelayImportDirectory].first, true))
        return false;
    return true;
}

uint32_t CPeImage::DirectorySize(unsigned index) const
{
    return index < m_directories.size() ? m_directories[index].second : 0;
}

uint32_t CPeImage::Offset(uint32_t rva) const
{
    for (const PeSection& s : m_sections) {
        const uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent && rva - s.virtualAddress < s.rawSize)
            return s.rawOffset + (rva - s.virtualAddress);
    }
    return 0;
}

bool CPeImage::ReadString(uint32_t rva, std::string& text) const
{
    uint32_t at = Offset(rva);
    if (at == 0)
        return false;
    text.clear();
    while (at < m_bytes.size() && m_bytes[at] != 0)
        text += static_cast<char>(m_bytes[at++]);
    return at < m_bytes.size();
}

bool CPeImage::ReadImports(uint32_t rva, bool delayLoad)
{
    // Ordinary descriptors are 20 bytes (name at 12, name table at 0); delay-load
    // ones 32 bytes (name at 4, name table at 16). Both lists end with a zero entry.
    const uint32_t entrySize = delayLoad ? 32 : 20;
    const uint32_t nameField = delayLoad ? 4 : 12;
    const uint32_t tableField = delayLoad ? 16 : 0;
    const bool wide = m_magic == 0x20B;
    for (uint32_t entry = Offset(rva); entry != 0; entry += entrySize) {
        uint32_t nameRva = 0;
        uint32_t tableRva = 0;
        uint32_t firstThunk = 0;
        if (!Read(entry + nameField, nameRva) || !Read(entry + tableField, tableRva) ||
            !Read(entry + (delayLoad ? 12 : 16), firstThunk))
            return false;
        if (nameRva == 0)
            return true;
        PeImport import;
        if (!ReadString(nameRva, import.dll))
            return false;
        uint32_t thunk = Offset(tableRva ? tableRva : firstThunk);
        for (; thunk != 0; thunk += wide ? 8 : 4) {
            uint64_t value = 0;
            uint32_t narrow = 0;
            if (wide ? !Read(thunk, value) : !Read(thunk, narrow))
                return false;
            if (!wide)
                value = narrow;
            if (value == 0)
                break;
            const uint64_t ordinalFlag = wide ? 0x8000000000000000ull : 0x80000000ull;
            std::string function;
            if (value & ordinalFlag)
                function = "#" + std::to_string(value & 0xFFFF);
            else if (!ReadString(static_cast<uint32_t>(value) + 2, function))
                return false;
            import.functions.push_back(function);
        }
        m_imports.push_back(import);
    }
    return false;
}

bool CPeImage::ContainsText(const std::string& text) const
{
    return std::search(m_bytes.begin(), m_bytes.end(), text.begin(), text.end()) != m_bytes.end();
}
