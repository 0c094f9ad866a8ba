#include "kivinstall/ProcessConsole.h"

#include <cstdio>

void CProcessConsole::Out(const std::string& text) { fwrite(text.data(), 1, text.size(), stdout); }

void CProcessConsole::Err(const std::string& text)
{
    fwrite(text.data(), 1, text.size(), stderr);
    fflush(stderr);
}

bool CProcessConsole::ReadAnswer(std::string& line)
{
    line.clear();
    for (int c; (c = fgetc(stdin)) != EOF;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        line += static_cast<char>(c);
    }
    return !line.empty();
}
