#include "InstallSupport.h"

#include <filesystem>

#include "TextBuffer.h"

void AddEntry(CSetupInfo& info, const std::string& source, const std::string& dest, const std::string& action)
{
    size_t index = info.m_files.GetSize();
    info.m_files.SetSize(index + 1);
    FileEntry& entry = info.m_files[index];
    CopyText(entry.szSource, sizeof entry.szSource, source.c_str());
    CSetupInfo::GetFileName(entry.szSource, entry.szFileName);
    CopyText(entry.szDest, sizeof entry.szDest, dest.c_str());
    CopyText(entry.szAction, sizeof entry.szAction, action.c_str());
}

CPackageTest::CPackageTest()
{
    dir.MakeDir("package");
    here = std::make_unique<CCurrentDir>(dir.Native("package"));
}

void CPackageTest::Source(const std::string& name, const std::string& content)
{
    dir.Write("package\\data\\" + name, content.empty() ? name + " v1" : content);
}

Names CPackageTest::Listing(const std::string& relative) const
{
    Names names;
    for (const auto& item : std::filesystem::directory_iterator(dir.Native(relative)))
        names.insert(item.path().filename().string());
    return names;
}
