#include "common/ErrorText.h"

#include "common/SystemText.h"
#include "platform/Platform.h"

std::string ErrorMessage(int code)
{
    char text[512];
    Platform::DescribeError(code, text, sizeof text);
    return ShownSystemText(text);
}

std::string ErrorMessage(const std::error_code& error) { return ShownSystemText(error.message()); }
