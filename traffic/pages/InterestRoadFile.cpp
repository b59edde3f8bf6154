#include "traffic/pages/InterestRoadFile.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "route/base/TextTruncate.h"
#include "traffic/receiver/ReceiverUtil.h"

#include <cstring>
#include <vector>

CString CInterestRoadFile::PathOf(const CNaviConfig* config) {
    return config ? config->GetItemPath(u"관심도로", -1) : CString();
}

void CInterestRoadFile::Pack(const InterestRoadSlot* slots, unsigned char* bytes) {
    for (int k = 0; k < kSlots; ++k) {
        unsigned char* p = bytes + k * kSlotSize;
        p[0] = static_cast<unsigned char>(slots[k].number);
        p[1] = static_cast<unsigned char>(slots[k].number >> 8);
        std::memcpy(p + 2, slots[k].name, InterestRoadSlot::kNameBytes);
        slots[k].state.Pack(p + 52);
    }
}

void CInterestRoadFile::Unpack(const unsigned char* bytes, InterestRoadSlot* slots) {
    for (int k = 0; k < kSlots; ++k) {
        const unsigned char* p = bytes + k * kSlotSize;
        InterestRoadSlot slot;
        slot.number = static_cast<std::uint16_t>(p[0] | p[1] << 8);
        std::memcpy(slot.name, p + 2, InterestRoadSlot::kNameBytes);
        // A name without its terminator is cut back to a whole character.
        const std::string name = SlotName(std::string(slot.name, strnlen(slot.name, InterestRoadSlot::kNameBytes)));
        std::memset(slot.name, 0, sizeof slot.name);
        std::memcpy(slot.name, name.data(), name.size());
        slot.state.Unpack(p + 52);
        slots[k] = slot;
    }
}

bool CInterestRoadFile::Read(const char16_t* path, InterestRoadSlot* slots) {
    if (!path || !*path || !slots) return false;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes, kFileSize) || bytes.size() != static_cast<std::size_t>(kFileSize)) return false;
    Unpack(bytes.data(), slots);
    return true;
}

bool CInterestRoadFile::Write(const char16_t* path, const InterestRoadSlot* slots, bool create) {
    if (!path || !*path || !slots) return false;
    if (!create) {
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }
    std::vector<unsigned char> bytes(kFileSize);
    Pack(slots, bytes.data());
    return WriteFileAside(path, bytes);
}

std::string CInterestRoadFile::SlotName(const std::string& cp949) {
    return CutCp949(cp949, InterestRoadSlot::kNameBytes - 1);
}

std::string CInterestRoadFile::SlotName(const char16_t* name) {
    return SlotName(name ? Utf16ToCp949(name) : std::string());
}

void CInterestRoadFile::Fill(InterestRoadSlot& slot, int index, const char16_t* name, const sSAVETRAFFIC& state) {
    slot = InterestRoadSlot{};
    slot.number = static_cast<std::uint16_t>(index + 1);
    const std::string cut = SlotName(name);
    std::memcpy(slot.name, cut.data(), cut.size());
    slot.state = state;
}

int CInterestRoadFile::FindByName(const InterestRoadSlot* slots, const char16_t* name) {
    if (!slots) return -1;
    const std::string wanted = SlotName(name);
    for (int k = 0; k < kSlots; ++k) {
        if (!slots[k].IsUsed()) continue;
        if (std::string_view(slots[k].name, strnlen(slots[k].name, InterestRoadSlot::kNameBytes)) == wanted)
            return k;
    }
    return -1;
}

int CInterestRoadFile::FindFree(const InterestRoadSlot* slots) {
    if (!slots) return -1;
    for (int k = 0; k < kSlots; ++k)
        if (!slots[k].IsUsed()) return k;
    return -1;
}
