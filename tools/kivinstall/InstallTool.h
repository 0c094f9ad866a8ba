// kivinstall: the installer's installation run from the command line, unattended.
#pragma once
#include <string>
#include <vector>

// Exit statuses.
constexpr int kInstallDone = 0;       // every C entry copied
constexpr int kInstallNotLoaded = 1;  // "Could not load setup info"
constexpr int kInstallUsage = 2;
constexpr int kInstallNotAgreed = 3;   // the licence was not accepted
constexpr int kInstallIncomplete = 4;  // some C entries were not copied

// Where the run talks to its user: standard output and error, and the
// terminal, when there is one, for the licence question.
class IConsole {
public:
    virtual void Out(const std::string& text) = 0;
    // Written at once, so progress shows while the run goes on.
    virtual void Err(const std::string& text) = 0;
    // True when a person can answer: input and error output are a terminal.
    virtual bool IsInteractive() = 0;
    // One line typed in answer; false at the end of the input.
    virtual bool ReadAnswer(std::string& line) = 0;

protected:
    ~IConsole() = default;
};

// The whole run for these arguments (without the program name). The current
// directory is put back afterwards.
int RunInstallTool(const std::vector<std::string>& args, IConsole& console);
