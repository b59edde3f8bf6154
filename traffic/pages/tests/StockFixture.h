// A device root for the stock pages: hand-written stock tables ("\MapData\DARC\SIMID.bin",
// "SIMTable01.bin"), the stock store opened over them and fed packets built here, a simulated
// clock, and a configuration object whose user folder lies in the root. Fresh singletons for
// each test.
#pragma once

#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "traffic/pages/DARCStock.h"
#include "traffic/receiver/Stock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class StockFixture : public ::testing::Test {
protected:
    using Packet = std::vector<unsigned char>;
    struct Listed {
        int code;
        int suffix;
        const char* utf8;
    };

    StockFixture() : m_clock(1'800'000'000'000) {
        InstallClock(&m_clock);
        m_config.Load(u"\\MapData");
        m_config.SetValue(64, 0); // user data in the handheld's memory
        CDARCStock::instance()->SetConfigPointer(&m_config);
    }
    ~StockFixture() override {
        CDARCStock::destruct();
        CStock::destruct();
        InstallClock(nullptr);
    }

    static std::string Bytes(std::initializer_list<int> list) {
        std::string s;
        for (int b : list) s.push_back(static_cast<char>(b));
        return s;
    }
    static std::string Le16(std::uint32_t v) { return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF)}); }
    static std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
    static std::string Cp(const char* utf8) { return Utf8ToCp949(utf8); }

    // Writes the tables with the given stocks (sorted here by key, as the table must be) and
    // the four markets, and opens the store over them.
    void OpenStore(std::vector<Listed> stocks) {
        std::sort(stocks.begin(), stocks.end(), [](const Listed& a, const Listed& b) {
            return a.code * 256 + a.suffix < b.code * 256 + b.suffix;
        });
        std::string items = Le32(static_cast<std::uint32_t>(stocks.size()));
        for (const Listed& s : stocks) {
            const std::string name = Cp(s.utf8);
            items += Le32(static_cast<std::uint32_t>(s.code * 256 + s.suffix)) +
                     Bytes({static_cast<int>(name.size())}) + name;
        }
        m_root.MakeFile("MapData/DARC/SIMID.bin", items);
        std::string markets = Bytes({4});
        for (const char* m : {"KOSPI", "KOSDAQ", "KOSPI200", "선물"}) {
            const std::string name = Cp(m);
            markets += Bytes({static_cast<int>(name.size())}) + name;
        }
        m_root.MakeFile("MapData/DARC/SIMTable01.bin", markets);
        CStock::instance()->openFile(CString(u"\\MapData"));
    }

    int Feed(const Packet& p) { return CStock::instance()->setData(p.data(), static_cast<int>(p.size())); }

    struct Quotation {
        int price = 0;
        int direction = 0;
        int change = 0;
        std::uint32_t volume = 0; // 24 bits on the air
        int high = 0;
        int low = 0;
        int ask = 0;
        int bid = 0;
    };
    // A quotation packet (service 26, record kind 1); multi-byte values big-endian.
    static Packet Quote(int code, int suffix, const Quotation& q) {
        auto hi = [](int v) { return static_cast<unsigned char>((v >> 8) & 0xFF); };
        auto lo = [](int v) { return static_cast<unsigned char>(v & 0xFF); };
        return {0x1A,
                0x10,
                hi(code),
                lo(code),
                static_cast<unsigned char>(suffix),
                0,
                hi(q.price),
                lo(q.price),
                static_cast<unsigned char>(q.direction),
                hi(q.change),
                lo(q.change),
                static_cast<unsigned char>(q.volume >> 16),
                static_cast<unsigned char>(q.volume >> 8),
                static_cast<unsigned char>(q.volume),
                hi(q.high),
                lo(q.high),
                hi(q.low),
                lo(q.low),
                hi(q.ask),
                lo(q.ask),
                hi(q.bid),
                lo(q.bid)};
    }
    // A market status packet (record kind 5): index value, change and validity, fields 3-6 as
    // given bytes.
    static Packet Market(int index, std::uint32_t value, int change, std::uint32_t validity) {
        return {0x1A,
                0x50,
                static_cast<unsigned char>(index),
                static_cast<unsigned char>(value >> 16),
                static_cast<unsigned char>(value >> 8),
                static_cast<unsigned char>(value),
                static_cast<unsigned char>(change >> 8),
                static_cast<unsigned char>(change),
                1,
                2,
                3,
                4,
                5,
                6,
                0x07,
                0x08,
                0x09,
                0x0A,
                0xEE,
                static_cast<unsigned char>(validity >> 16),
                static_cast<unsigned char>(validity >> 8),
                static_cast<unsigned char>(validity)};
    }
    // A time packet of the stock service.
    static Packet Time(int month, int day, int hour, int minute) {
        Packet p(22, 0);
        p[0] = 0x20 | 26;
        p[1] = 0x10;
        p[10] = static_cast<unsigned char>(month);
        p[11] = static_cast<unsigned char>(day);
        p[12] = static_cast<unsigned char>(hour);
        p[13] = static_cast<unsigned char>(minute);
        return p;
    }

    // The interest-stock file below the root (the memory folder's "stock.bin").
    static constexpr const char* kInterestFile = "My Documents/VelkoData/stock.bin";
    static std::string InterestRecord(int code, int suffix, const char* utf8) {
        std::string name = Cp(utf8);
        name.resize(30, '\0');
        return Le16(static_cast<std::uint32_t>(code)) + Bytes({suffix}) + name;
    }

    TempRoot m_root;
    SimulatedClock m_clock;
    CNaviConfig m_config;
};
