// The interface of the name engines (prefix search over the character index, word search over
// every name) and the base of the address and category readers. The defaults answer true, or
// 0 for the detail number and the count.
#pragma once

#include "search/SearchRecords.h"

#include <cstdint>

// One row of a result list: the name, the region text ("province district", one 52-byte
// field), the position and whether the place has details.
struct NameHit {
    char name[21] = {};
    char text[52] = {};
    std::uint16_t pos[3] = {};
    std::uint8_t hasDetail = 0;
};

// A decoded 40-byte name record.
struct NameRecord {
    char name[21] = {};
    std::uint16_t pos[3] = {};
    std::uint16_t admin1 = 0, admin2 = 0;
    std::uint16_t extra[3] = {};
    std::uint32_t detail = 0;
    void Parse(const std::uint8_t* p);
};

class CNameEngine {
public:
    virtual ~CNameEngine() = default;
    virtual bool Reload(const char16_t* namePath, const char16_t* adminPath);
    virtual bool OpenOn(const char16_t* namePath, const char16_t* adminPath);
    virtual bool Search(const char* query);
    virtual bool GetPosition(int i, _NAME_RESULT& result);
    virtual std::uint32_t GetDetailNumber(int i);
    virtual bool GetHit(int i, NameHit& hit);
    virtual bool GetName(int i, char* buffer);
    virtual bool GetLocal(int n, char* buffer);
    virtual bool ReadEntry30(int n, char* buffer);
    virtual bool IsReady();
    virtual int GetCount();
    virtual void Clear();
};
