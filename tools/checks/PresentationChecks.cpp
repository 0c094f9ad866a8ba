#include <cstdlib>
#include <cstring>
#include <string>

#include "bitmap/Bitmap.h"
#include "checks/PackageChecks.h"
#include "common/ErrorText.h"
#include "platform/Platform.h"
#include "setupinfo/ShownText.h"

namespace {

const char* KindName(Platform::FileKind kind)
{
    return kind == Platform::FileKind::Directory ? "a directory" : "a pipe, a device or another special file";
}

// True when the file is there and is a file; warns when it is something else.
bool PresentAsFile(const char* name, const char* consequence, std::vector<CheckWarning>& warnings)
{
    const Platform::FileKind kind = Platform::LookUpFile(name).kind;
    if (kind == Platform::FileKind::Directory || kind == Platform::FileKind::Special)
        Warn(warnings, "presentation-not-file",
             std::string(name) + " is " + KindName(kind) + ", not a file, so " + consequence);
    return kind == Platform::FileKind::File;
}

// The offset of the licence's first NUL byte, or -1; read as the dialog reads it.
long long FirstNulOffset(const char* path)
{
    size_t shown, size;
    char* text = ReadShownText(path, shown, size);
    if (!text)
        return -1;
    free(text);
    return shown < size ? static_cast<long long>(shown) : -1;
}

std::string BitmapProblemText(const BitmapCheck& check)
{
    const std::string value = std::to_string(check.value);
    switch (check.problem) {
        case BitmapProblem::None:
            return "";
        case BitmapProblem::Unreadable:
            return "it cannot be read: " + ErrorMessage(static_cast<int>(check.value));
        case BitmapProblem::TooShort:
            return "it is too short";
        case BitmapProblem::NoSignature:
            return "it does not start with \"BM\"";
        case BitmapProblem::HeaderSize:
            return "its information header has the unknown size " + value;
        case BitmapProblem::Dimensions:
            return "its width or height is not between 1 and " + std::to_string(kBitmapMaxSide);
        case BitmapProblem::TooLarge:
            return "its picture would take " + value + " bytes, more than " +
                   std::to_string(kBitmapMaxPixelBytes >> 20) + " MiB";
        case BitmapProblem::Planes:
            return "its plane count is " + value + ", not 1";
        case BitmapProblem::BitCount:
            return "it has " + value + " bits per pixel";
        case BitmapProblem::Compression:
            return "its compression " + value + " is not one its bit depth can have";
        case BitmapProblem::ColourTable:
            return "its colour table does not fit";
        case BitmapProblem::PixelOffset:
            return "its pixels are said to start at " + value + ", outside their place";
        case BitmapProblem::PixelData:
            return "its pixels do not fit between their start and its end";
    }
    return "";
}

}  // namespace

void CheckPresentationFiles(std::vector<CheckWarning>& warnings)
{
    if (PresentAsFile(kLicenseFileName, "the licence box stays empty", warnings)) {
        const long long nul = FirstNulOffset(kLicenseFileName);
        if (nul >= 0)
            Warn(warnings, "license-nul",
                 "license.txt holds a NUL byte at offset " + std::to_string(nul) +
                     ", so the licence box shows only the text before it");
    }
    if (PresentAsFile(kLogoFileName, "the built-in logo is shown", warnings)) {
        const std::string problem = BitmapProblemText(CheckBitmapFile(kLogoFileName));
        if (!problem.empty())
            Warn(warnings, "logo-not-bitmap",
                 "logo.bmp is not a Windows bitmap that loads safely (" + problem + "), so the built-in logo is shown");
    }
}
