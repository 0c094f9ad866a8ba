#include "setupinfo/FileSource.h"

#include "platform/Platform.h"

bool CFileSource::Open(const char* path)
{
    Close();
    m_error = 0;
    m_file = Platform::OpenRegularFile(path);
    return m_file != nullptr;
}

void CFileSource::Close()
{
    if (m_file) {
        fclose(m_file);
        m_file = nullptr;
    }
}

bool CFileSource::Rewind() { return m_file && fseek(m_file, 0, SEEK_SET) == 0 && ftell(m_file) == 0; }

size_t CFileSource::Read(unsigned char* buffer, size_t size)
{
    if (!m_file)
        return 0;
    const size_t got = fread(buffer, 1, size, m_file);
    if (got < size && ferror(m_file) && m_error == 0)
        m_error = Platform::LastError() != 0 ? Platform::LastError() : Platform::kReadFailed;
    return got;
}
