// The roads-of-interest file ("관심도로" in the user's storage folder), shared by the traffic
// page, which adds roads, and the roads-of-interest page, which opens and deletes them.
//
// Exactly 10 slots of 104 bytes, 1,040 bytes, little-endian, no header. Slot k at 104 k:
//   0  u16       slot number: k + 1 when used, 0 when free
//   2  50 bytes  road name, CP949, zero-terminated
//   52 52 bytes  the navigation state that shows the road's sections (sSAVETRAFFIC)
// A file of any other size is not read. Writes go to a file beside it that is then renamed
// over it, so a failed write never leaves a half-written file.
#pragma once

#include "platform/base/CString.h"
#include "traffic/pages/TrafficRoadDB.h"

#include <string>

class CNaviConfig;

class CInterestRoadFile {
public:
    static constexpr int kSlots = 10;
    static constexpr int kSlotSize = 104;
    static constexpr int kFileSize = kSlots * kSlotSize;

    // The file's path in the current storage folder; empty without a configuration.
    static CString PathOf(const CNaviConfig* config);

    // Reads the ten slots; false, with the slots untouched, when the file is missing or is not
    // exactly kFileSize bytes. Names are cut at 49 bytes.
    static bool Read(const char16_t* path, InterestRoadSlot* slots);
    // Writes the ten slots. create false: a missing file is left missing (false).
    static bool Write(const char16_t* path, const InterestRoadSlot* slots, bool create);

    static void Pack(const InterestRoadSlot* slots, unsigned char* bytes);
    static void Unpack(const unsigned char* bytes, InterestRoadSlot* slots);

    // A name as a slot keeps it: CP949, at most 49 bytes, cut on a character boundary.
    static std::string SlotName(const char16_t* name);
    static std::string SlotName(const std::string& cp949);
    // Fills a slot: number index + 1, the name cut as above, a copy of the state.
    static void Fill(InterestRoadSlot& slot, int index, const char16_t* name, const sSAVETRAFFIC& state);
    // The first used slot whose name equals name (compared as slot names, byte-wise), else -1.
    static int FindByName(const InterestRoadSlot* slots, const char16_t* name);
    // The first free slot, else -1.
    static int FindFree(const InterestRoadSlot* slots);
};
