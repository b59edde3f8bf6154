// The reception thread writes link speeds while the drawing and routing threads read them and
// the timer thread expires them, all without a lock: every reader sees a speed that some packet
// carried (or none), never a torn or invented one.
#include "traffic/receiver/tests/ReceiverFixture.h"

#include <atomic>
#include <thread>

namespace {

std::string TrafficSentence(std::uint32_t id, int speed) {
    std::vector<int> p = {0x17, 0x00};
    for (int k = 0; k < 4; ++k) {
        for (int b = 3; b >= 0; --b) p.push_back(static_cast<int>((id >> (8 * b)) & 0xFF));
        p.push_back(speed);
    }
    int sum = 0x30;
    for (int b : p) sum += b;
    p.push_back((256 - sum % 256) % 256);
    std::string s = "\x02\x30";
    for (int b : p) {
        if (b == 2 || b == 3 || b == 0x1B) {
            s += '\x1B';
            s += static_cast<char>(~b & 0xFF);
        } else {
            s += static_cast<char>(b);
        }
    }
    return s + "\x03";
}

} // namespace

class ConcurrentRead : public ReceiverFixture {};

TEST_F(ConcurrentRead, ReadersSeeOnlySpeedsThatWereSent) {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < 64; ++i) ids.push_back(0x00060000u + i);
    WriteLinkTable(ids);
    CTraffic::instance()->openFile(Folder());
    // Speeds sent are 30 or 90: anything else read would be invented.
    std::atomic<bool> done{false};
    std::atomic<long> bad{0};
    auto reader = [&] {
        while (!done.load()) {
            for (unsigned short i = 0; i < 64; ++i) {
                unsigned char s = 0;
                unsigned long c = 0;
                if (CTraffic::instance()->getSpeedByIdx(i, s) && s != 30 && s != 90) ++bad;
                if (CTraffic::instance()->getLinkColorByIdx(i, c) && c != 0x00B93D && c != 0xDC0000) ++bad;
            }
        }
    };
    auto expirer = [&] {
        while (!done.load()) CTraffic::instance()->UpdateTrafficDB();
    };
    std::thread r1(reader), r2(reader), e(expirer);
    CDARC* darc = CDARC::instance();
    for (int round = 0; round < 200; ++round) {
        std::string batch;
        for (std::uint32_t id : ids) batch += TrafficSentence(id, round % 2 ? 30 : 90);
        batch += std::string(100, '\xFF');
        darc->SetData(batch.data(), batch.size());
        EXPECT_EQ(darc->ParseData(), 64);
    }
    done = true;
    r1.join();
    r2.join();
    e.join();
    EXPECT_EQ(bad.load(), 0);
    unsigned char s = 0;
    ASSERT_EQ(CTraffic::instance()->getSpeedByIdx(63, s), 1);
    EXPECT_EQ(s, 30); // round 199 sent 30
}
