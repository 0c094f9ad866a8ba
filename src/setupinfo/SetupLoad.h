// Load's steps, over any way of taking a description file's values.
#pragma once
#include "FileSystem.h"
#include "LineRules.h"
#include "SetupInfo.h"
#include "TextBuffer.h"

// Splits a FILE value into the fields of entry. Runs of ";" count as one
// separator and a field cannot be empty; fields after the fourth are ignored.
void SplitEntry(char* value, FileEntry& entry);

// Lookup is constructed on an open file's bytes (IByteSource&) and offers
// bool Read() (false when memory runs out), CTextReader* Reader(), and
// char* Find(section, key, destination, destinationSize), which answers
// exactly as GetValue answers for that file.
template <class Lookup>
const char* CSetupInfo::LoadWith(const char* setupPath, const char* listPath, ISetupSources& sources)
{
    m_loadFailure = {LoadStage::None, nullptr, 0};
    IByteSource* setupSource = sources.Open(setupPath);
    if (!setupSource)
        return Fail(LoadStage::Open, setupPath, Platform::LastError());
    // Whatever an earlier Load left goes: the fields start as a new object's.
    Clear();
    Lookup setup(*setupSource);
    const bool setupRead = setup.Read();
    if (!setupRead || setupSource->Error() != 0) {
        const int error = setupRead ? setupSource->Error() : Platform::kOutOfMemory;
        sources.CloseAll();
        return Fail(setupRead ? LoadStage::Read : LoadStage::Memory, setupPath, error);
    }
    m_pSetupFile = setup.Reader();
    CopyText(m_szSetupPath, sizeof m_szSetupPath, setupPath);

    // The install section's name comes through one indirection: DEFAULTINSTALL
    // names another key of [Setup], whose value is the section name.
    for (size_t i = 0; i < kSetupKeyCount; ++i)
        setup.Find(SectionOf(kSetupKeys[i]), KeyOf(kSetupKeys[i]), SetupField(i), kSetupKeys[i].fieldSize);

    IByteSource* listSource = sources.Open(listPath);
    if (!listSource) {
        const int error = Platform::LastError();
        m_pSetupFile = nullptr;
        sources.CloseAll();
        return Fail(LoadStage::Open, listPath, error);
    }
    Lookup list(*listSource);
    bool loaded = list.Read();
    if (!loaded)
        Fail(LoadStage::Memory, listPath, Platform::kOutOfMemory);
    else if (listSource->Error() != 0)
        loaded = Fail(LoadStage::Read, listPath, listSource->Error()) != nullptr;
    if (loaded) {
        m_pListFile = list.Reader();
        char count[kCountSize] = "";
        list.Find(m_szSection, "Count", count, sizeof count);
        m_nCount = AtoiSaturating(count);
        // Count bounds the keys read as an unsigned number, so a negative
        // Count reads up to the first missing key.
        const unsigned limit = static_cast<unsigned>(m_nCount);
        for (unsigned n = 1; m_nCount != 0; ++n) {
            char key[kFileKeySize];
            MakeFileKey(n, key);
            char value[kFileValueSize];
            if (!list.Find(m_szSection, key, value, sizeof value))
                break;
            if (!m_files.SetSize(n)) {
                loaded = Fail(LoadStage::Memory, listPath, Platform::kOutOfMemory) != nullptr;
                break;
            }
            SplitEntry(value, m_files[n - 1]);
            if (n >= limit)
                break;
        }
    }

    m_pSetupFile = nullptr;
    m_pListFile = nullptr;
    sources.CloseAll();
    return loaded ? m_szSetupPath : nullptr;
}
