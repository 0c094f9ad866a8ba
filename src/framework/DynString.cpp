#include "framework/DynString.h"

#include <cstdlib>
#include <cstring>

CString::~CString() { free(m_data); }

void CString::Empty()
{
    free(m_data);
    m_data = nullptr;
    m_length = 0;
}

CString& CString::operator=(const char* text)
{
    // text may point into this string's own buffer: copy before releasing it.
    size_t length = text ? strlen(text) : 0;
    if (length == 0) {
        Empty();
        return *this;
    }
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy)
        memcpy(copy, text, length + 1);
    free(m_data);
    m_data = copy;
    m_length = copy ? length : 0;
    return *this;
}

char* CString::GetBuffer(size_t length)
{
    Empty();
    if (length + 1 == 0)
        return nullptr;
    m_data = static_cast<char*>(malloc(length + 1));
    if (m_data) {
        m_data[0] = '\0';
        m_data[length] = '\0';
    }
    return m_data;
}

void CString::ReleaseBuffer()
{
    if (!m_data)
        return;
    m_length = strlen(m_data);
    if (m_length == 0)
        Empty();
}
