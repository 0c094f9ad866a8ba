#include "SetupInfo.h"

#include <cstring>

#include "LineIndex.h"
#include "LineRules.h"
#include "TextBuffer.h"

namespace {

// Splits a FILE value into its fields. Runs of ";" count as one separator and
// a field cannot be empty; fields after the fourth are ignored.
void SplitEntry(char* value, FileEntry& entry)
{
    char* fields[4] = {};
    char* field = strtok(value, ";");
    for (int i = 0; i < 4 && field; ++i) {
        fields[i] = field;
        field = strtok(nullptr, ";");
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

// One open description file, read either by GetValue, which rescans it for
// every value, or once into a CLineIndex that answers the same.
class CDescriptionFile {
public:
    CDescriptionFile(IByteSource& source, bool indexed) : m_reader(source), m_indexed(indexed) {}

    CTextReader* Reader() { return &m_reader; }

    // False when the index cannot get its memory.
    bool Read() { return !m_indexed || m_index.Read(m_reader); }

    char* Find(const char* section, const char* key, char* destination, size_t destinationSize)
    {
        return m_indexed ? m_index.Find(section, key, destination, destinationSize)
                         : CSetupInfo::GetValue(&m_reader, section, key, destination, destinationSize);
    }

private:
    CTextReader m_reader;
    CLineIndex m_index;
    bool m_indexed;
};

// Reads FILE1, FILE2, ... of section into files. Count bounds the keys read as
// an unsigned number, so a negative Count reads up to the first missing key.
// False when memory runs out.
bool ReadEntries(CDescriptionFile& list, const char* section, int count, CFileEntryArray& files)
{
    const unsigned limit = static_cast<unsigned>(count);
    for (unsigned n = 1;; ++n) {
        char key[kFileKeySize];
        MakeFileKey(n, key);
        char value[kFileValueSize];
        if (!list.Find(section, key, value, sizeof value))
            return true;
        if (!files.SetSize(n))
            return false;
        SplitEntry(value, files[n - 1]);
        if (n >= limit)
            return true;
    }
}

}  // namespace

CSetupInfo::CSetupInfo()
    : m_szSetupPath(), m_pSetupFile(nullptr), m_pListFile(nullptr), m_szSection(), m_szInstallText(),
      m_szDefaultInstall(), m_szDefaultDir(), m_szCopyright(), m_szTitle(), m_nCount(0)
{
}

void CSetupInfo::Clear()
{
    m_szSetupPath[0] = '\0';
    m_szSection[0] = '\0';
    m_szInstallText[0] = '\0';
    m_szDefaultInstall[0] = '\0';
    m_szDefaultDir[0] = '\0';
    m_szCopyright[0] = '\0';
    m_szTitle[0] = '\0';
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
    return LoadWith(setupPath, listPath, sources, true);
}

const char* CSetupInfo::LoadRescanning(const char* setupPath, const char* listPath, ISetupSources& sources)
{
    return LoadWith(setupPath, listPath, sources, false);
}

const char* CSetupInfo::LoadWith(const char* setupPath, const char* listPath, ISetupSources& sources,
                                 bool indexed)
{
    IByteSource* setupSource = sources.Open(setupPath);
    if (!setupSource)
        return nullptr;
    // Whatever an earlier Load left goes: the fields start as a new object's.
    Clear();
    CDescriptionFile setup(*setupSource, indexed);
    if (!setup.Read()) {
        sources.CloseAll();
        return nullptr;
    }
    m_pSetupFile = setup.Reader();
    CopyText(m_szSetupPath, sizeof m_szSetupPath, setupPath);

    // The install section's name comes through one indirection: DEFAULTINSTALL
    // names another key of [Setup], whose value is the section name.
    setup.Find("Setup", "DEFAULTINSTALL", m_szDefaultInstall, sizeof m_szDefaultInstall);
    setup.Find("Setup", m_szDefaultInstall, m_szSection, sizeof m_szSection);
    setup.Find("Setup", "Copyright", m_szCopyright, sizeof m_szCopyright);
    setup.Find(m_szSection, "Title", m_szTitle, sizeof m_szTitle);
    setup.Find(m_szSection, "InstallText", m_szInstallText, sizeof m_szInstallText);
    setup.Find(m_szSection, "DefaultDir", m_szDefaultDir, sizeof m_szDefaultDir);

    IByteSource* listSource = sources.Open(listPath);
    if (!listSource) {
        m_pSetupFile = nullptr;
        sources.CloseAll();
        return nullptr;
    }
    CDescriptionFile list(*listSource, indexed);
    bool loaded = list.Read();
    if (loaded) {
        m_pListFile = list.Reader();
        char count[kCountSize] = "";
        list.Find(m_szSection, "Count", count, sizeof count);
        m_nCount = AtoiSaturating(count);
        loaded = m_nCount == 0 || ReadEntries(list, m_szSection, m_nCount, m_files);
    }

    m_pSetupFile = nullptr;
    m_pListFile = nullptr;
    sources.CloseAll();
    return loaded ? m_szSetupPath : nullptr;
}

void CSetupInfo::GetFileName(const char* path, char* fileName)
{
    const char* lastBackslash = strrchr(path, '\\');
    CopyText(fileName, kPathSize, lastBackslash ? lastBackslash + 1 : path);
}
