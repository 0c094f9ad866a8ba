#include "setupinfo/SetupInfo.h"

#include <cstring>

#include "setupinfo/LineIndex.h"
#include "setupinfo/SetupLoad.h"
#include "codepages/CodePages.h"

const SetupValue kSetupValues[kSetupValueCount] = {
    {SetupSection::Setup, "DEFAULTINSTALL", [](CSetupInfo& info) { return info.m_szDefaultInstall; },
     sizeof CSetupInfo::m_szDefaultInstall, "defaultInstall"},
    {SetupSection::Setup, nullptr, [](CSetupInfo& info) { return info.m_szSection; }, sizeof CSetupInfo::m_szSection,
     "section"},
    {SetupSection::Setup, "Copyright", [](CSetupInfo& info) { return info.m_szCopyright; },
     sizeof CSetupInfo::m_szCopyright, "copyright"},
    {SetupSection::Install, "Title", [](CSetupInfo& info) { return info.m_szTitle; }, sizeof CSetupInfo::m_szTitle,
     "title"},
    {SetupSection::Install, "InstallText", [](CSetupInfo& info) { return info.m_szInstallText; },
     sizeof CSetupInfo::m_szInstallText, "installText"},
    {SetupSection::Install, "DefaultDir", [](CSetupInfo& info) { return info.m_szDefaultDir; },
     sizeof CSetupInfo::m_szDefaultDir, "defaultDir"},
};

const char* CSetupInfo::SectionOf(const SetupValue& value) const
{
    return value.section == SetupSection::Setup ? "Setup" : m_szSection;
}

const char* CSetupInfo::KeyOf(const SetupValue& value) const { return value.key ? value.key : m_szDefaultInstall; }

void SplitEntry(char* value, FileEntry& entry)
{
    // The fields are taken as strtok takes its tokens, without its hidden
    // state: runs of characters other than ";", so that several ";" in a row
    // are one separator and a ";" at either end yields no field.
    char* fields[4] = {};
    char* at = value;
    for (char*& field : fields) {
        while (*at == ';')
            ++at;
        if (!*at)
            break;
        field = at;
        while (*at && *at != ';')
            ++at;
        if (*at)
            *at++ = '\0';
    }
    if (fields[0]) {
        CopyText(entry.szSource, sizeof entry.szSource, fields[0]);
        CSetupInfo::GetFileName(entry.szSource, entry.szFileName);
    }
    if (fields[1])
        CopyText(entry.szDest, sizeof entry.szDest, fields[1]);
    if (fields[2])
        CopyText(entry.szAction, sizeof entry.szAction, fields[2]);
    if (fields[3])
        entry.nNumber = AtoiSaturating(fields[3]);
}

namespace {

// An open description file read once into a CLineIndex, which answers every
// lookup from memory, as a scan of the file for each would.
class CIndexedFile {
public:
    explicit CIndexedFile(IByteSource& source) : m_reader(source) {}
    bool Read() { return m_index.Read(m_reader); }
    char* Find(const char* section, const char* key, char* destination, size_t destinationSize)
    {
        return m_index.Find(section, key, destination, destinationSize);
    }

private:
    CTextReader m_reader;
    CLineIndex m_index;
};

}  // namespace

CSetupInfo::CSetupInfo()
    : m_szSetupPath(), m_szSection(), m_szInstallText(), m_szDefaultInstall(), m_szDefaultDir(), m_szCopyright(),
      m_szTitle(), m_nCount(0)
{
}

const char* CSetupInfo::Fail(LoadStage stage, const char* path, int systemError)
{
    m_loadFailure = {stage, path, systemError};
    return nullptr;
}

void CSetupInfo::Clear()
{
    m_szSetupPath[0] = '\0';
    for (const SetupValue& value : kSetupValues)
        Field(value)[0] = '\0';
    m_nCount = 0;
    m_files.SetSize(0);
}

const char* CSetupInfo::Load(const char* setupPath, const char* listPath)
{
    CFileSetupSources files;
    return Load(setupPath, listPath, files);
}

const char* CSetupInfo::Load(const char* setupPath, const char* listPath, ISetupSources& sources)
{
    return LoadDescription<CIndexedFile>(*this, setupPath, listPath, sources);
}

void CSetupInfo::GetFileName(const char* path, char* fileName)
{
    const char* lastBackslash = CodePages::FindLastCharacter(path, '\\');
    CopyText(fileName, kPathSize, lastBackslash ? lastBackslash + 1 : path);
}
