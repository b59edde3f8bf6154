// The reception thread writes the content stores while the pages read them: a reader copies
// whole records (never half of one packet and half of another), and the news and short-text
// queues stay consistent while read, reset and written at once.
#include "traffic/receiver/tests/ContentFixture.h"

#include <atomic>
#include <thread>

class ContentConcurrent : public ContentFixture {};

TEST_F(ContentConcurrent, ReadersCopyWholeRecords) {
    m_root.MakeFile("MapData/DARC/SIMID.bin", Le32(1) + Le32(0x25141) + Bytes({1, 'A'}));
    m_root.MakeFile("MapData/DARC/SIMTable01.bin", Bytes({1, 1, 'K'}));
    std::string regions = Bytes({1, 0, 1, 0, 0x10, 0x10, 0x10, 0x10, 1, 'a'});
    for (const char* t : {"WIMID_Cur.bin", "WIMID_Short.bin", "WIMID_Week.bin"})
        m_root.MakeFile(std::string("MapData/DARC/") + t, regions);
    CStock::instance()->openFile(Folder());
    CWeather::instance()->openFile(Folder());
    ASSERT_TRUE(CWeather::instance()->IsLoaded());
    // Two quotations whose price and volume belong together, and two current reports whose
    // temperature and precipitation belong together.
    auto quote = [](int v) {
        return Packet{0x1A, 0x10, 0x02, 0x51, 'A', 0, static_cast<unsigned char>(v), static_cast<unsigned char>(v), 0,
                      0, 0, 0, static_cast<unsigned char>(v), static_cast<unsigned char>(v), 0, 0, 0, 0, 0, 0, 0, 0};
    };
    auto current = [](int v) {
        return Packet{0x19, 0x10, 0x10, 0x10, 0, 0, 1, 0, static_cast<unsigned char>(v), 0,
                      static_cast<unsigned char>(v), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    };
    std::atomic<bool> done{false};
    std::atomic<long> bad{0};
    std::thread reader([&] {
        while (!done.load()) {
            SIM item;
            if (CStock::instance()->getStockDataByCode(item, 593, 'A') && (item.price & 0xFF) != (item.volume & 0xFF))
                ++bad;
            WIM w;
            if (CWeather::instance()->getWeatherByRegionAndDay(0x1010, 0, w) &&
                w.current.temperature != static_cast<std::int16_t>(w.current.precipitationA))
                ++bad;
            CString report;
            CWeather::instance()->getLocalInfo(0, 0, &report);
        }
    });
    for (int round = 0; round < 3000; ++round) {
        const int v = round % 2 ? 0x11 : 0x22;
        Packet q = quote(v), c = current(v);
        CStock::instance()->setData(q.data(), static_cast<int>(q.size()));
        CWeather::instance()->setData(c.data(), static_cast<int>(c.size()));
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
}

TEST_F(ContentConcurrent, QueuesReadResetAndWrittenAtOnce) {
    CMarkup::instance()->openFile(Folder());
    CShortText::instance()->openFile(Folder());
    std::atomic<bool> done{false};
    std::thread reader([&] {
        char text[10240];
        unsigned short number = 0;
        unsigned char serial = 0, unread = 0;
        int u = 0, kind = 0, n = 0;
        while (!done.load()) {
            while (CMarkup::instance()->GetSentence(0, 1, text, number, serial, unread)) {
            }
            CMarkup::instance()->IsDocAvailable(1, 0, 1);
            while (CShortText::instance()->getSentence(text, u, kind)) {
            }
            if (++n % 50 == 0) {
                CMarkup::instance()->externalReset();
                CShortText::instance()->externalReset();
            }
        }
    });
    for (int round = 0; round < 300; ++round) {
        Packet t = TimePacket(3, 0, 10, 3, 8, 5);
        CMarkup::instance()->setData(t.data(), 22);
        Packet s = TimePacket(4, 1, 10, 3, 8, 5);
        CShortText::instance()->setData(s.data(), 22);
        // A kind-1 head of document round with one record; a short text of kind 1.
        Packet head{0x01, 0, static_cast<unsigned char>(round), 'n', static_cast<unsigned char>('0' + round % 10), 0x11, 0};
        Packet block{0, static_cast<unsigned char>(round), 0, 1, 0x10, 0, 0, 0, static_cast<unsigned char>(head.size())};
        block.insert(block.end(), head.begin(), head.end());
        for (const Packet& p : Cut(Seal(block), 3, 0x11)) CMarkup::instance()->setData(p.data(), 22);
        Packet text{'t', static_cast<unsigned char>('a' + round % 26)};
        Packet sb{0, 0, 0, 0, 1, static_cast<unsigned char>(text.size())};
        sb.insert(sb.end(), text.begin(), text.end());
        sb.push_back(0);
        for (const Packet& p : Cut(Seal(sb), 4, 0x11)) CShortText::instance()->setData(p.data(), 22);
    }
    done = true;
    reader.join();
    EXPECT_LE(CMarkup::instance()->Queue(CMarkup::kHeads).GetNum(), 100);
    EXPECT_LE(CShortText::instance()->Queue().GetNum(), 100);
}
