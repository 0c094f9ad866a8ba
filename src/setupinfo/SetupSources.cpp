#include "setupinfo/SetupSources.h"

IByteSource* CFileSetupSources::Open(const char* path)
{
    if (m_opened == 2)
        return nullptr;
    CFileSource& file = m_files[m_opened];
    if (!file.Open(path))
        return nullptr;
    ++m_opened;
    return &file;
}

void CFileSetupSources::CloseAll()
{
    for (CFileSource& file : m_files)
        file.Close();
    m_opened = 0;
}
