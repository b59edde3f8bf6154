// What every voice clip of the sample device says: the main clips (distance phrases, manoeuvre
// words, numbers, safe-driving point kinds, facility words), the fixed messages, and the named
// additional clips (the sample's places, roads and facilities, then filler names); and the
// facility tables of the sample expressways whose names those clips speak.
#pragma once

#include "tools/mkdevice/VoiceFiles.h"

#include <string>
#include <vector>

namespace mkdev {

constexpr int kMainClipCount = 206;
constexpr int kMessageCount = 24;
constexpr int kAddClipCount = 414;

// Korean text of main clip id (1..206) and of message id (1..24), UTF-8.
std::string MainClipText(int id);
std::string MessageText(int id);

struct AddClipText {
    std::u16string name; // the record's name (stored in code page 949)
    std::string text;    // what is spoken, UTF-8
};
// The 414 additional clips in record order; names are distinct.
const std::vector<AddClipText>& AddClipTexts();

// The sample's facility tables (one id space for rest areas, junctions and interchanges).
std::vector<RestAreaEntry> SampleRestAreas();
std::vector<HighwayEntry> SampleDirections();

} // namespace mkdev
