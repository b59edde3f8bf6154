// The sample device's broadcast tables under a test root and the synthesised broadcast's
// content (news, short texts, weather, stocks) handed to the opened stores, as the reception
// thread would.
#pragma once

#include "tools/darcsynth/ContentPackets.h"
#include "tools/mkdevice/BroadcastContent.h"
#include "tools/mkdevice/BroadcastStage.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace samplebroadcast {

// Where the sample device keeps its map data.
inline CString MapFolder() { return CString(u"\\Storage Card\\MapData"); }

// Freq.bin and the link table (ids given), and the content stores' tables.
inline void WriteTables(const std::string& root, const std::vector<std::uint32_t>& linkIds) {
    mkdev::DeviceLayout layout(root);
    std::filesystem::create_directories(layout.mrData);
    std::filesystem::create_directories(layout.mapData + "/DARC");
    mkdev::WriteBroadcastFiles(layout, linkIds);
    mkdev::WriteBroadcastContentFiles(layout);
}

// Opens the five stores on the sample tables and feeds every content payload once.
inline void OpenAndFeedStores() {
    CTraffic::instance()->openFile(MapFolder());
    CMarkup::instance()->openFile(MapFolder());
    CShortText::instance()->openFile(MapFolder());
    CStock::instance()->openFile(MapFolder());
    CWeather::instance()->openFile(MapFolder());
    std::vector<std::vector<std::uint8_t>> packets;
    darcsynth::ContentCounts counts;
    std::string error;
    ASSERT_TRUE(darcsynth::MakeContentPackets(MapFolder().GetString(), packets, counts, error)) << error;
    for (const auto& p : packets) {
        const int length = static_cast<int>(p.size());
        switch (p[0] & 0x1F) {
        case 3:
            CMarkup::instance()->setData(p.data(), length);
            break;
        case 4:
            CShortText::instance()->setData(p.data(), length);
            break;
        case 25:
            CWeather::instance()->setData(p.data(), length);
            break;
        case 26:
            CStock::instance()->setData(p.data(), length);
            break;
        default:
            break;
        }
    }
}

} // namespace samplebroadcast
