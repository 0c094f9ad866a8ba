// The system's own message for why a call failed, shown safely.
#pragma once
#include <string>
#include <system_error>

// The system's message for an error code (errno, or GetLastError's code:
// Platform::LastError), or for an error the standard library reports, shown
// as ShownSystemText shows it.
std::string ErrorMessage(int code);
std::string ErrorMessage(const std::error_code& error);
