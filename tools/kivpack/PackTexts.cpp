#include "kivpack/PackTexts.h"

#include <filesystem>

#include "kivpack/PackageLayout.h"
#include "kivpack/PackageNames.h"
#include "text/Text.h"
#include "common/ToolOutput.h"
#include "codepages/CodePages.h"

namespace {

// One text of setup.inf as given, and the field of the layout that keeps it.
struct GivenText {
    const char* option;
    const std::string& text;
    char* field;
    size_t fieldSize;
};

}  // namespace

bool FillTexts(const PackOptions& options, CSetupInfo& layout, std::string& problem)
{
    CopyText(layout.m_szDefaultInstall, sizeof layout.m_szDefaultInstall, kInstallKeyName);
    CopyText(layout.m_szSection, sizeof layout.m_szSection, kInstallSectionName);
    const GivenText texts[] = {
        {"--copyright", options.copyright, layout.m_szCopyright, sizeof layout.m_szCopyright},
        {"--title", options.title, layout.m_szTitle, sizeof layout.m_szTitle},
        {"--install-text", options.installText, layout.m_szInstallText, sizeof layout.m_szInstallText},
        {"--default-dir", options.defaultDir, layout.m_szDefaultDir, sizeof layout.m_szDefaultDir},
    };
    for (const GivenText& given : texts) {
        std::string text;
        const std::string start =
            std::string(given.option) + " " + ShownSystemPath(std::filesystem::u8path(given.text), Quotes::With);
        if (HasControlCharacter(given.text))
            problem = start + " holds a control character";
        else if (!ToPackageText(given.text, text))
            problem = start + " holds a character code page " + std::to_string(CodePages::CodePage()) + " cannot write";
        else if (!CopyText(given.field, given.fieldSize, text.c_str()))
            problem = start + " is " + std::to_string(text.size()) + " characters long; the installer keeps " +
                      std::to_string(given.fieldSize - 1);
        if (!problem.empty())
            return false;
    }
    return true;
}
