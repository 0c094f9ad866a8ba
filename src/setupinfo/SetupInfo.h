// CSetupInfo: the package description read from setup.inf and list.inf, and its operations.
#pragma once
#include <cstddef>

#include "FileEntry.h"
#include "FileEntryArray.h"
#include "Limits.h"
#include "SetupSources.h"
#include "TextReader.h"

// The package's files, relative to its directory: the description that Load
// reads, and the licence and logo that the dialog shows when they are there.
constexpr char kSetupFileName[] = "setup.inf";
constexpr char kListFileName[] = "list.inf";
constexpr char kLicenseFileName[] = "license.txt";
constexpr char kLogoFileName[] = "logo.bmp";

// What the user is told when Load fails.
constexpr char kLoadErrorText[] = "Could not load setup info";

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

    // Load as it reads with GetValue for every value, rescanning the file each
    // time: the reference the indexed Load is measured and tested against.
    const char* LoadRescanning(const char* setupPath, const char* listPath, ISetupSources& sources);

    // Finds the value of key in section, scanning file from its start; copies
    // it into destination, cut to destinationSize - 1 characters. Returns
    // destination, or null with destination untouched when there is no value.
    static char* GetValue(CTextReader* file, const char* section, const char* key,
                          char* destination, size_t destinationSize);

    // Writes the text after the last backslash of path into fileName, which
    // holds kPathSize bytes.
    static void GetFileName(const char* path, char* fileName);

    // Makes every missing directory level of path, outermost first. Returns
    // -1 for a null or empty path, -2 for one longer than 259 characters, else 0.
    static int MakePath(const char* path);

    // Copies the C entries into targetDir, then opens the E entries. Returns
    // 0 when every C entry was copied, else the number of C entries not copied.
    int Install(const char* targetDir) const;

    char m_szSetupPath[kPathSize];
    CTextReader* m_pSetupFile;
    CTextReader* m_pListFile;
    char m_szSection[kTextSize];
    char m_szInstallText[kTextSize];
    char m_szDefaultInstall[kTextSize];
    char m_szDefaultDir[kPathSize];
    char m_szCopyright[kTextSize];
    char m_szTitle[kTitleSize];
    int m_nCount;
    CFileEntryArray m_files;

private:
    void Clear();
    const char* LoadWith(const char* setupPath, const char* listPath, ISetupSources& sources, bool indexed);
};
