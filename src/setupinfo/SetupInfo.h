// CSetupInfo: the package description read from setup.inf and list.inf, and its operations.
#pragma once
#include <cstddef>

#include "setupinfo/FileEntry.h"
#include "setupinfo/FileEntryArray.h"
#include "setupinfo/Limits.h"
#include "setupinfo/SetupSources.h"

// The package's files, relative to its directory: the description that Load
// reads, and the licence and logo that the dialog shows when they are there.
constexpr char kSetupFileName[] = "setup.inf";
constexpr char kListFileName[] = "list.inf";
constexpr char kLicenseFileName[] = "license.txt";
constexpr char kLogoFileName[] = "logo.bmp";

// What the user is told when Load fails.
constexpr char kLoadErrorText[] = "Could not load setup info";

// Where a value of setup.inf stands: in [Setup], or in the install section.
enum class SetupSection { Setup, Install };

class CSetupInfo;

// One value of setup.inf, described once: where Load finds it (its section,
// and its key, null for the key that DEFAULTINSTALL names), the field of
// CSetupInfo that keeps it and that field's size, and the name the tools give
// it (kivcheck's JSON key). Load reads by these, kivcheck shows and checks
// them, kivpack writes setup.inf from them.
struct SetupValue {
    SetupSection section;
    const char* key;
    char* (*field)(CSetupInfo& info);
    size_t fieldSize;
    const char* name;
};

// setup.inf's values in the order Load reads them: DEFAULTINSTALL before the
// key it names, and that key, the install section's name, before the values
// of the section.
constexpr size_t kSetupValueCount = 6;
extern const SetupValue kSetupValues[kSetupValueCount];

// Why Load failed: at which stage, for which of its two files (the path it
// was given) and with which code of the system (errno, or GetLastError's).
enum class LoadStage { None, Open, Read, Memory };
struct LoadFailure {
    LoadStage stage;
    const char* path;
    int systemError;
};

class CSetupInfo {
public:
    CSetupInfo();
    CSetupInfo(const CSetupInfo&) = delete;
    CSetupInfo& operator=(const CSetupInfo&) = delete;

    // Reads both files into this object. Returns m_szSetupPath when both
    // files open, null when either does not or memory runs out. Missing keys
    // are not failures: their fields stay empty. Each file is read once and
    // its values are taken from an index of its lines (CLineIndex). When
    // setup.inf opens, every field is first cleared, as in a new object.
    const char* Load(const char* setupPath, const char* listPath);
    const char* Load(const char* setupPath, const char* listPath, ISetupSources& sources);
    // Why the last Load returned null; stage None after one that did not.
    const LoadFailure& GetLoadFailure() const { return m_loadFailure; }

    // Writes the text after the last backslash of path into fileName, which
    // holds kPathSize bytes.
    static void GetFileName(const char* path, char* fileName);

    char m_szSetupPath[kPathSize];
    char m_szSection[kTextSize];
    char m_szInstallText[kTextSize];
    char m_szDefaultInstall[kTextSize];
    char m_szDefaultDir[kPathSize];
    char m_szCopyright[kTextSize];
    char m_szTitle[kTitleSize];
    int m_nCount;
    CFileEntryArray m_files;

    // The section and the key a value of setup.inf stands under, for this
    // object: the key DEFAULTINSTALL names, and the section that key names,
    // are the values Load read before them.
    const char* SectionOf(const SetupValue& value) const;
    const char* KeyOf(const SetupValue& value) const;

    // The field of this object that keeps value.
    char* Field(const SetupValue& value) { return value.field(*this); }
    const char* Field(const SetupValue& value) const { return value.field(const_cast<CSetupInfo&>(*this)); }

private:
    // Load's steps, over any way of taking an open file's values (SetupLoad.h).
    template <class Lookup>
    friend const char* LoadDescription(CSetupInfo& info, const char* setupPath, const char* listPath,
                                       ISetupSources& sources);

    void Clear();
    // Records why Load fails, and returns its result for that: null.
    const char* Fail(LoadStage stage, const char* path, int systemError);

    LoadFailure m_loadFailure = {LoadStage::None, nullptr, 0};
};
