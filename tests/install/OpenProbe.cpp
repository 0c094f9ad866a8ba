// A packaged program started by the open pass in the tests: notes in probe-record.txt its command line, its
// current directory and whether probe-go appeared within ten seconds.
#include <windows.h>

#include <cstdio>

int main()
{
    bool go = false;
    for (int i = 0; i < 200 && !go; ++i, Sleep(go ? 0 : 50))
        go = GetFileAttributesA("probe-go") != INVALID_FILE_ATTRIBUTES;
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    FILE* record = fopen("probe-record.tmp", "wb");
    if (!record)
        return 1;
    fprintf(record, "line=%s\ncwd=%s\ngo=%s\n", GetCommandLineA(), directory, go ? "seen" : "missing");
    fclose(record);
    return MoveFileA("probe-record.tmp", "probe-record.txt") ? 0 : 1;
}
