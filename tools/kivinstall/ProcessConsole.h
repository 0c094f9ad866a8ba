// kivinstall's console as a program: the process's standard streams and terminal, and a thread ready for the shell.
#pragma once
#include <string>

#include "kivinstall/InstallTool.h"

class CProcessConsole final : public IConsole {
public:
    void Out(const std::string& text) override;
    void Err(const std::string& text) override;
    bool IsInteractive() override;
    bool ReadAnswer(std::string& line) override;
};

// Readies the calling thread for the shell's opens for the rest of the run:
// on Windows a single-threaded apartment, which the shell wants on the thread
// that asks; nothing elsewhere.
void PrepareForOpens();
