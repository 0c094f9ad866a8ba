// Load's steps, over any way of taking a description file's values.
#pragma once
#include "platform/Platform.h"
#include "setupinfo/LineRules.h"
#include "setupinfo/SetupInfo.h"
#include "text/Text.h"

// Splits a FILE value into the fields of entry. Runs of ";" count as one
// separator and a field cannot be empty; fields after the fourth are ignored.
void SplitEntry(char* value, FileEntry& entry);

// CSetupInfo::Load's steps into info. Lookup is constructed on an open
// file's bytes (IByteSource&) and offers bool Read() (false when memory runs
// out) and char* Find(section, key, destination,
// destinationSize), which answers as a scan of the file from its start for
// the key would: Load's own (a line index), or in the tests the scan itself.
template <class Lookup>
const char* LoadDescription(CSetupInfo& info, const char* setupPath, const char* listPath, ISetupSources& sources)
{
    info.m_loadFailure = {LoadStage::None, nullptr, 0};
    IByteSource* setupSource = sources.Open(setupPath);
    if (!setupSource)
        return info.Fail(LoadStage::Open, setupPath, Platform::LastError());
    // Whatever an earlier Load left goes: the fields start as a new object's.
    info.Clear();
    Lookup setup(*setupSource);
    const bool setupRead = setup.Read();
    if (!setupRead || setupSource->Error() != 0) {
        const int error = setupRead ? setupSource->Error() : Platform::kOutOfMemory;
        sources.CloseAll();
        return info.Fail(setupRead ? LoadStage::Read : LoadStage::Memory, setupPath, error);
    }
    CopyText(info.m_szSetupPath, sizeof info.m_szSetupPath, setupPath);

    // The install section's name comes through one indirection: DEFAULTINSTALL
    // names another key of [Setup], whose value is the section name.
    for (const SetupValue& value : kSetupValues)
        setup.Find(info.SectionOf(value), info.KeyOf(value), info.Field(value), value.fieldSize);

    IByteSource* listSource = sources.Open(listPath);
    if (!listSource) {
        const int error = Platform::LastError();
        sources.CloseAll();
        return info.Fail(LoadStage::Open, listPath, error);
    }
    Lookup list(*listSource);
    bool loaded = list.Read();
    if (!loaded)
        info.Fail(LoadStage::Memory, listPath, Platform::kOutOfMemory);
    else if (listSource->Error() != 0)
        loaded = info.Fail(LoadStage::Read, listPath, listSource->Error()) != nullptr;
    if (loaded) {
        char count[kCountSize] = "";
        list.Find(info.m_szSection, "Count", count, sizeof count);
        info.m_nCount = AtoiSaturating(count);
        // Count bounds the keys read as an unsigned number, so a negative
        // Count reads up to the first missing key.
        const unsigned limit = static_cast<unsigned>(info.m_nCount);
        for (unsigned n = 1; info.m_nCount != 0; ++n) {
            char key[kFileKeySize];
            MakeFileKey(n, key);
            char value[kFileValueSize];
            if (!list.Find(info.m_szSection, key, value, sizeof value))
                break;
            if (!info.m_files.SetSize(n)) {
                loaded = info.Fail(LoadStage::Memory, listPath, Platform::kOutOfMemory) != nullptr;
                break;
            }
            SplitEntry(value, info.m_files[n - 1]);
            if (n >= limit)
                break;
        }
    }

    sources.CloseAll();
    return loaded ? info.m_szSetupPath : nullptr;
}
