// A growable byte string that collects the segments of a long broadcast sentence. Storage
// grows in 500-byte blocks and always keeps room for a closing NUL behind the bytes in use.
#pragma once

class CDARCString {
public:
    CDARCString() = default;
    virtual ~CDARCString();
    CDARCString(const CDARCString&) = delete;
    CDARCString& operator=(const CDARCString&) = delete;

    // Replaces the contents by count bytes (-1: up to the first NUL).
    void Set(const unsigned char* bytes, int count);
    // Adds count bytes (-1: up to the first NUL) behind the bytes in use, then a NUL.
    void Append(const unsigned char* bytes, int count);
    // Copies min(max, length) bytes from the start.
    void Get(char* target, int max) const;
    void Empty();
    // Removes the control bytes 0x01..0x1F, keeping the length; the freed tail reads as NUL.
    void EraseESC();
    void SetChar(int index, unsigned char value);
    // Length of the text up to the first NUL.
    int Size() const;
    int Capacity() const { return m_capacity; }
    int GetPosition() const { return m_length; }
    const unsigned char* Data() const { return m_data; }

private:
    // Makes room for need more bytes behind the length (need includes the closing NUL).
    bool MemAlloc(int need);

    unsigned char* m_data = nullptr;
    int m_length = 0;
    int m_capacity = 0;
};
