// CString: the framework's small dynamic string of 8-bit text, held in malloc'd memory.
#pragma once
#include <cstddef>

// Holds a NUL-terminated text of any length. An empty string owns no memory.
// When memory runs out an assignment leaves the string empty instead of failing
// loudly: the dialog's texts are presentation, never worth ending the run for.
class CString {
public:
    CString() = default;
    ~CString();
    CString(const CString&) = delete;
    CString& operator=(const CString&) = delete;

    CString& operator=(const char* text);

    size_t GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    operator const char*() const { return m_data ? m_data : ""; }

    // Makes room for a text of length characters and returns the buffer to
    // write it into (length + 1 bytes), or null when memory runs out, in which
    // case the string is left empty. ReleaseBuffer ends the writing.
    char* GetBuffer(size_t length);
    // Takes the text written into the buffer, up to its first NUL.
    void ReleaseBuffer();

private:
    void Empty();

    char* m_data = nullptr;
    size_t m_length = 0;
};
