// A stand-in for a packaged program, started by the open pass in tests. It
// notes, in probe-record.txt of its current directory: its command line, its
// current directory, whether the file named by KIV_PROBE_CHECK existed when it
// started, and whether probe-go appeared there within ten seconds (the test
// writes it only once Install returned).
#include <windows.h>

#include <cstdio>

int main()
{
    char check[MAX_PATH] = "";
    GetEnvironmentVariableA("KIV_PROBE_CHECK", check, sizeof check);
    const bool present = check[0] != '\0' && GetFileAttributesA(check) != INVALID_FILE_ATTRIBUTES;
    bool go = false;
    for (int i = 0; i < 200 && !go; ++i) {
        go = GetFileAttributesA("probe-go") != INVALID_FILE_ATTRIBUTES;
        Sleep(go ? 0 : 50);
    }
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    FILE* record = fopen("probe-record.tmp", "wb");
    if (!record)
        return 1;
    fprintf(record, "line=%s\ncwd=%s\ncheck=%s\ngo=%s\n", GetCommandLineA(), directory,
            present ? "present" : "missing", go ? "seen" : "missing");
    fclose(record);
    return MoveFileA("probe-record.tmp", "probe-record.txt") ? 0 : 1;
}
