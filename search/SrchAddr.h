// The address database: the administrative areas level by level (province or metropolitan
// city, city/county/district, town/township/neighbourhood, village) and, below the lowest
// area, a block of parcel numbers (stored or zlib-compressed) searched by number with a
// fall-back to the two nearest parcels.
#pragma once

#include "search/NameEngine.h"
#include "search/SearchFormat.h"

#include <cstdint>
#include <string>
#include <vector>

// A parcel entry, 12 bytes in the file and in memory.
struct _ADDR {
    std::uint8_t unused = 0;
    std::uint8_t mountain = 0;
    std::uint16_t main = 0;
    std::uint16_t sub = 0;
    std::uint16_t pos[3] = {};
};

class CSrchAddr : public CNameEngine {
public:
    // One 28-byte area entry.
    struct Node {
        std::uint16_t nameIndex = 0;
        std::uint32_t childOffset = 0;
        std::uint16_t childCount = 0;
        std::uint32_t secondOffset = 0;
        std::uint16_t secondCount = 0;
        std::uint8_t downType = 0;
        std::uint16_t value15 = 0, value17 = 0;
        std::uint8_t value19 = 0;
        std::uint16_t pos[3] = {};
        std::uint16_t value26 = 0;
    };
    // The largest inflated parcel block taken (a block of 65,535 parcels is 786,420 bytes).
    static constexpr std::uint32_t kMaxBlockBytes = 1u << 20;

    CSrchAddr() = default;
    ~CSrchAddr() override = default;

    bool Reload(const char16_t* addressPath, const char16_t* adminNamePath) override;
    bool OpenOn(const char16_t* addressPath, const char16_t* adminNamePath) override;
    bool GetAddrDBVersionInfo(const char16_t* path, _VERSION_INFO& version);

    bool Search(int level, int index);
    void SetDepth(int level);
    // 2 exact hit, 1 two near parcels offered, 0 nothing.
    int Search(unsigned char mountain, int main, int sub);
    int FindLot_BinarySrch(const _ADDR& key, int& notExact) const;
    bool GetSearchResult(int level, int index, _ADDR_RESULT& result);
    int GetDownNodeType(int level, int index) const;
    int GetDownNodeCount(int level) const;
    bool GetTypeName(int level, int index, char* out);
    int GetNearLotCount() const { return m_nearCount; }
    const _ADDR& GetNearLot(int i) const { return m_near[i == 1 ? 1 : 0]; }
    int GetListCount(int level) const;

    // The parcel text (code page 949): "산 %d-%d", "산 %d", "%d-%d" or "%d" (at most 30 bytes).
    static std::string LotText(const _ADDR& lot);
    // The detail text of a parcel result, "%s %s번지" of the area name and the parcel text,
    // cut on a character boundary to fit the 31-byte field.
    static void LotDetail(const char* areaName, const char* lotText, char* detail31);
    // Parses a typed parcel text ("12-3", "산 5", "123456"): a part of six or more digits counts
    // as 99999. False for an empty text.
    static bool ParseLotText(const std::string& text, unsigned char& mountain, int& main, int& sub);

    bool Search(const char* query) override { return CNameEngine::Search(query); }

private:
    bool GetLocal(int nameIndex, char* out) override;
    bool ReadListAdmin(int level, std::uint64_t offset, std::uint16_t count);
    bool MakeAddrVector(std::uint32_t inflated, std::uint32_t stored, std::uint32_t count, std::uint8_t flag,
                        const std::vector<std::uint8_t>& bytes);
    const Node* NodeAt(int level, int index) const;

    tolvik::DbFile m_address, m_admin;
    tolvik::DbHeader m_header;
    tolvik::AdminHeader m_adminHeader;
    _ADDR_RESULT m_work;
    int m_depth = 0;
    int m_nearCount = 0;
    _ADDR m_near[2];
    std::vector<_ADDR> m_lots;
    std::uint16_t m_resultPos[3] = {};
    Node m_current[4];
    std::vector<Node> m_lists[4];
};
