// The link-speed store loaded for tests of its readers (route engine, map drawing): a link
// table of count links whose ids are IdOf(index), written to a throw-away folder, and speeds set
// per index through real traffic packets.
#pragma once

#include "platform/files/DeviceRoot.h"
#include "traffic/receiver/Traffic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

namespace traffictest {

// The index in the upper bits keeps the ids ascending; road class 3 is an ordinary link, class 2
// a highway link.
inline std::uint32_t IdOf(unsigned index, bool highway = false) {
    return index << 20 | (highway ? 2u : 3u) << 17;
}

// Writes "<folder>\MRDATA\DARCLINK.bin" below a fresh temporary root, opens the store on it
// and puts the previous device root back.
// Links whose index is listed in highways are highway links.
inline void OpenStore(unsigned count = 1024, std::initializer_list<unsigned> highways = {}) {
    ASSERT_LE(count, 2048u); // the index must stay in the id's upper bits
    const std::string previous = DeviceRoot::Root();
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velko-links-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    std::filesystem::create_directories(pattern + "/Links/MRDATA");
    {
        std::ofstream out(pattern + "/Links/MRDATA/DARCLINK.bin", std::ios::binary);
        for (unsigned i = 0; i < count; ++i) {
            bool highway = false;
            for (unsigned h : highways) highway |= h == i;
            std::uint32_t id = IdOf(i, highway);
            for (int b = 0; b < 4; ++b) out.put(static_cast<char>((id >> (8 * b)) & 0xFF));
        }
    }
    DeviceRoot::SetRoot(pattern);
    CTraffic::instance()->openFile(CString(u"\\Links"));
    DeviceRoot::SetRoot(previous);
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);
    ASSERT_EQ(CTraffic::instance()->GetLinkCount(), static_cast<int>(count));
}

// A service-23 packet carrying one speed for the link at index (the other entries repeat it).
inline void SetSpeed(unsigned index, std::uint8_t speed) {
    unsigned char p[22] = {0x17, 0x00};
    unsigned long id = 0;
    ASSERT_EQ(CTraffic::instance()->getDarcIDByIdx(static_cast<unsigned short>(index), id), 1);
    for (int k = 0; k < 4; ++k) {
        p[2 + 5 * k] = static_cast<unsigned char>(id >> 24);
        p[3 + 5 * k] = static_cast<unsigned char>(id >> 16);
        p[4 + 5 * k] = static_cast<unsigned char>(id >> 8);
        p[5 + 5 * k] = static_cast<unsigned char>(id);
        p[6 + 5 * k] = speed;
    }
    ASSERT_EQ(CTraffic::instance()->setData(p, sizeof p), 1);
}

inline void CloseStore() { CTraffic::destruct(); }

} // namespace traffictest
