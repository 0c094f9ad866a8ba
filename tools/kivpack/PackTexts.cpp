#include "kivpack/PackTexts.h"

#include <filesystem>

#include "codepages/CodePages.h"
#include "common/PackageText.h"
#include "common/SystemText.h"
#include "kivpack/PackageLayout.h"
#include "kivpack/PackageNames.h"
#include "text/Text.h"

bool FillTexts(const PackOptions& options, CSetupInfo& layout, std::string& problem)
{
    CopyText(layout.m_szDefaultInstall, sizeof layout.m_szDefaultInstall, kInstallKeyName);
    CopyText(layout.m_szSection, sizeof layout.m_szSection, kInstallSectionName);
    for (size_t i = 0; i < kSetupValueCount; ++i) {
        const SetupValue& value = kSetupValues[i];
        const TextOption* option = TextOptionOf(value);
        if (!option)
            continue;
        const std::string& given = options.texts[i];
        const std::string start =
            std::string(option->name) + " " + ShownSystemPath(std::filesystem::u8path(given), Quotes::With);
        std::string text;
        if (HasControlCharacter(given))
            problem = start + " holds a control character";
        else if (!ToPackageText(given, text))
            problem = start + " holds a character code page " + std::to_string(CodePages::CodePage()) + " cannot write";
        else if (!CopyText(layout.Field(value), value.fieldSize, text.c_str()))
            problem = start + " is " + std::to_string(text.size()) + " characters long; the installer keeps " +
                      std::to_string(value.fieldSize - 1);
        if (!problem.empty())
            return false;
    }
    return true;
}
