#include "SetupInfo.h"

#include <cstdio>
#include <cstring>

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

}  // namespace

CSetupInfo::CSetupInfo()
    : m_szSetupPath(), m_pSetupFile(nullptr), m_pListFile(nullptr), m_szSection(), m_szInstallText(),
      m_szDefaultInstall(), m_szDefaultDir(), m_szCopyright(), m_szTitle(), m_nCount(0)
{
}

const char* CSetupInfo::Load(const char* setupPath, const char* listPath)
{
    CFileSetupSources files;
    return Load(setupPath, listPath, files);
}

const char* CSetupInfo::Load(const char* setupPath, const char* listPath, ISetupSources& sources)
{
    IByteSource* setupSource = sources.Open(setupPath);
    if (!setupSource)
        return nullptr;
    CTextReader setupReader(*setupSource);
    m_pSetupFile = &setupReader;
    CopyText(m_szSetupPath, sizeof m_szSetupPath, setupPath);

    // The install section's name comes through one indirection: DEFAULTINSTALL
    // names another key of [Setup], whose value is the section name.
    GetValue(m_pSetupFile, "Setup", "DEFAULTINSTALL", m_szDefaultInstall, sizeof m_szDefaultInstall);
    GetValue(m_pSetupFile, "Setup", m_szDefaultInstall, m_szSection, sizeof m_szSection);
    GetValue(m_pSetupFile, "Setup", "Copyright", m_szCopyright, sizeof m_szCopyright);
    GetValue(m_pSetupFile, m_szSection, "Title", m_szTitle, sizeof m_szTitle);
    GetValue(m_pSetupFile, m_szSection, "InstallText", m_szInstallText, sizeof m_szInstallText);
    GetValue(m_pSetupFile, m_szSection, "DefaultDir", m_szDefaultDir, sizeof m_szDefaultDir);

    IByteSource* listSource = sources.Open(listPath);
    if (!listSource) {
        m_pSetupFile = nullptr;
        sources.CloseAll();
        return nullptr;
    }
    CTextReader listReader(*listSource);
    m_pListFile = &listReader;

    char count[kCountSize] = "";
    GetValue(m_pListFile, m_szSection, "Count", count, sizeof count);
    m_nCount = AtoiSaturating(count);
    bool loaded = m_nCount == 0 || ReadEntries();

    m_pSetupFile = nullptr;
    m_pListFile = nullptr;
    sources.CloseAll();
    return loaded ? m_szSetupPath : nullptr;
}

bool CSetupInfo::ReadEntries()
{
    // Count bounds the keys read as an unsigned number, so a negative Count
    // reads up to the first missing key.
    const unsigned limit = static_cast<unsigned>(m_nCount);
    for (unsigned n = 1;; ++n) {
        char key[16];  // "FILE" and up to 10 digits
        snprintf(key, sizeof key, "FILE%u", n);
        char value[kFileValueSize];
        if (!GetValue(m_pListFile, m_szSection, key, value, sizeof value))
            return true;
        if (!m_files.SetSize(n))
            return false;
        SplitEntry(value, m_files[n - 1]);
        if (n >= limit)
            return true;
    }
}

void CSetupInfo::GetFileName(const char* path, char* fileName)
{
    const char* lastBackslash = strrchr(path, '\\');
    CopyText(fileName, kPathSize, lastBackslash ? lastBackslash + 1 : path);
}
