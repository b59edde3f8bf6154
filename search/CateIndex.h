// The category tree of the name database: major class, minor class, province and district;
// each district entry lists the name records of its facilities.
#pragma once

#include "search/NameEngine.h"
#include "search/SearchFormat.h"

#include <cstdint>
#include <vector>

class CCateIndex : public CNameEngine {
public:
    struct Node {
        std::uint16_t nameIndex = 0;
        std::uint32_t childOffset = 0;
        std::uint32_t childCount = 0;
        std::uint8_t value10 = 0;
        std::uint8_t kind = 0;
    };

    ~CCateIndex() override = default;

    bool Reload(const char16_t* namePath, const char16_t* adminPath) override;
    bool OpenOn(const char16_t* namePath, const char16_t* adminPath) override;
    std::uint32_t GetDetailNumber(int i) override;
    bool GetHit(int i, NameHit& hit) override;
    bool GetName(int i, char* out) override;
    bool GetLocal(int n, char* out) override;
    bool ReadEntry30(int n, char* out) override;

    // Selects entry index of the list at level and reads every list below it from the first
    // entries; level 3 only selects. Levels outside 0..3: true, nothing done.
    bool Select(int level, int index);
    // Class name (levels 0 and 1, 30 bytes) or area name (levels 2 and 3, 20 bytes) of an entry.
    bool GetItemName(int level, int index, char* out31);
    // Entries of the list at the current level (0 for a negative level).
    int GetListCount() const;
    int GetListCount(int level) const;
    int GetTopCount() const { return m_header.groupCount[4]; }
    // Facilities of the current district entry.
    int GetFacilityCount() const;
    int GetLevel() const { return m_level; }
    void SetLevel(int level) { m_level = level; }
    int GetSelected(int level) const { return level >= 0 && level < 4 ? m_selected[level] : -1; }
    const Node* GetNode(int level, int index) const;
    // The name and position of facility i into the result.
    bool GetFacility(int i, _CATE_RESULT& result);

private:
    bool ReadList(int level, std::uint64_t offset, std::uint32_t count);
    bool ReadBelow(int level);
    bool ReadFacility(int i, NameRecord& record);

    tolvik::DbFile m_names, m_admin;
    tolvik::DbHeader m_header;
    tolvik::AdminHeader m_adminHeader;
    Node m_current[4];
    std::vector<Node> m_lists[4];
    int m_selected[4] = {-1, -1, -1, -1};
    int m_level = 0;
};
