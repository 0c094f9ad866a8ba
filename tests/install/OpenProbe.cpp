// A stand-in for a packaged program, started by the open pass in tests. It
// notes, in probe-record.txt of its current directory: its program name and
// parameter text, its current directory, whether the file named by
// KIV_PROBE_CHECK existed when it started, and whether probe-go appeared
// there within ten seconds (the test writes it only once Install returned).
#include <windows.h>

#include <cstdio>

namespace {

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main()
{
    char check[MAX_PATH] = "";
    GetEnvironmentVariableA("KIV_PROBE_CHECK", check, sizeof check);
    bool present = check[0] != '\0' && Exists(check);

    bool go = false;
    for (int i = 0; i < 200 && !go; ++i) {
        go = Exists("probe-go");
        if (!go)
            Sleep(50);
    }

    // The command line: the program, quoted or not, then blanks, then the parameters.
    const char* line = GetCommandLineA();
    const char* end = line;
    if (*end == '"') {
        for (++end; *end && *end != '"'; ++end) {
        }
        if (*end)
            ++end;
    } else {
        while (*end && *end != ' ' && *end != '\t')
            ++end;
    }
    const char* parameters = end;
    while (*parameters == ' ' || *parameters == '\t')
        ++parameters;

    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);

    FILE* record = fopen("probe-record.tmp", "wb");
    if (!record)
        return 1;
    fprintf(record, "program=%.*s\n", static_cast<int>(end - line), line);
    fprintf(record, "parameters=%s\n", parameters);
    fprintf(record, "cwd=%s\n", directory);
    fprintf(record, "check=%s\n", present ? "present" : "missing");
    fprintf(record, "go=%s\n", go ? "seen" : "missing");
    fclose(record);
    return MoveFileA("probe-record.tmp", "probe-record.txt") ? 0 : 1;
}
