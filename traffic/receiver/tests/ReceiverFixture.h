// A device root with hand-written receiver tables, a simulated clock, and fresh singletons for
// each test.
#pragma once

#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "traffic/receiver/ChannelInfo.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Traffic.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class ReceiverFixture : public ::testing::Test {
protected:
    static constexpr std::int64_t kNowSeconds = 1'800'000'000;

    ReceiverFixture() : m_clock(kNowSeconds * 1000) { InstallClock(&m_clock); }
    ~ReceiverFixture() override {
        CDARC::destruct();
        CTraffic::destruct();
        CFreqScanner::destruct();
        CChannelInfo::destruct();
        InstallClock(nullptr);
    }

    static std::string Bytes(std::initializer_list<int> list) {
        std::string s;
        for (int b : list) s.push_back(static_cast<char>(b));
        return s;
    }
    static std::string Le32(std::uint32_t v) {
        return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
    }
    void WriteLinkTable(const std::vector<std::uint32_t>& ids) {
        std::string s;
        for (std::uint32_t id : ids) s += Le32(id);
        m_root.MakeFile("MapData/MRDATA/DARCLINK.bin", s);
    }
    // Sets the last-write time of a file below the root to the given age before the clock's now.
    void SetAge(const std::string& relative, std::int64_t ageSeconds) {
        struct timeval times[2];
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(kNowSeconds - ageSeconds);
        times[0].tv_usec = times[1].tv_usec = 0;
        ASSERT_EQ(::utimes(m_root.Host(relative).c_str(), times), 0);
    }
    CString Folder() const { return CString(u"\\MapData"); }

    SimulatedClock m_clock;
    TempRoot m_root;
};
