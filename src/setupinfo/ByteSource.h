// The reader interface under the description files: a rewindable source of raw bytes.
#pragma once
#include <cstddef>

class IByteSource {
public:
    // Goes back to the first byte; false when the source cannot be rewound.
    virtual bool Rewind() = 0;
    // Reads up to size bytes; 0 only at the end of the source or on a read error.
    virtual size_t Read(unsigned char* buffer, size_t size) = 0;
    // The system's code for the first read that failed, 0 when none has.
    virtual int Error() const { return 0; }

protected:
    ~IByteSource() = default;
};

// A source over bytes held in memory (not copied: they must outlive the source).
class CMemorySource final : public IByteSource {
public:
    CMemorySource(const void* data, size_t size) : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
    bool Rewind() override;
    size_t Read(unsigned char* buffer, size_t size) override;

private:
    const unsigned char* m_data;
    size_t m_size;
    size_t m_position = 0;
};
