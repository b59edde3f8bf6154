#include "traffic/receiver/tests/ContentFixture.h"

#include <cstring>

namespace {

struct Sentence {
    int document = 1;
    int part = 0;
    int lastPart = 0;
    int serial = 1;
    int kind = 2;
    int segment = 1;
    int version = 1;
};

} // namespace

class MarkupTest : public ContentFixture {
protected:
    CMarkup& M() { return *CMarkup::instance(); }
    void Open() { M().openFile(Folder()); }
    int Feed(const Packet& p) { return M().setData(p.data(), static_cast<int>(p.size())); }
    // The packets of one news sentence: header bytes 2-10, the text, padding and the trailer.
    std::vector<Packet> News(const Sentence& s, const Packet& text) {
        Packet block{static_cast<unsigned char>(s.document >> 8), static_cast<unsigned char>(s.document),
                     static_cast<unsigned char>(s.part << 4 | s.lastPart), static_cast<unsigned char>(s.serial),
                     static_cast<unsigned char>(s.kind << 4), 0, 0,
                     static_cast<unsigned char>(text.size() >> 8), static_cast<unsigned char>(text.size())};
        block.insert(block.end(), text.begin(), text.end());
        return Cut(Seal(block), 3, static_cast<unsigned char>(s.segment << 4 | s.version));
    }
    void Send(const std::vector<Packet>& packets) {
        for (const Packet& p : packets) ASSERT_EQ(Feed(p), 1);
    }
    static Packet Head(int number, const char* utf8) {
        Packet t{0x01, static_cast<unsigned char>(number >> 8), static_cast<unsigned char>(number)};
        Packet body = Cp(utf8);
        t.insert(t.end(), body.begin(), body.end());
        t.push_back(0x11);
        t.push_back(0x00);
        return t;
    }
    std::string Title(int& number, unsigned char& unread) {
        char text[10240];
        unsigned short n = 0;
        unsigned char serial = 0;
        if (!M().GetSentence(0, 2, text, n, serial, unread)) return "<none>";
        number = n;
        return Cp949ToUtf8(text);
    }
    std::string Body(int document, int& result) {
        char text[10240] = {};
        unsigned short n = 0;
        unsigned char serial = 0, unread = 0;
        result = M().GetSentence(static_cast<unsigned short>(document), 3, text, n, serial, unread);
        return Cp949ToUtf8(text);
    }
};

TEST_F(MarkupTest, HeadShowsTimeOfDayThenDateOnAnotherDay) {
    Open();
    ASSERT_EQ(Feed(TimePacket(3, 0, 10, 3, 8, 5)), 1);
    Send(News({}, Head(7, "교통 소식")));
    int number = 0;
    unsigned char unread = 9;
    EXPECT_EQ(Title(number, unread), "08:05 교통 소식");
    EXPECT_EQ(number, 7);
    EXPECT_EQ(unread, 1);
    EXPECT_EQ(Title(number, unread), "<none>"); // end of the pass
    EXPECT_EQ(Title(number, unread), "08:05 교통 소식");
    EXPECT_EQ(unread, 0); // read once already
    ASSERT_EQ(Feed(TimePacket(3, 0, 10, 4, 0, 10)), 1);
    Title(number, unread); // finish the pass
    EXPECT_EQ(Title(number, unread), "10/03 교통 소식");
    CTime t;
    ASSERT_EQ(M().GetLastUpdatedTime(t, 0), 1);
    EXPECT_EQ(t.GetYear(), 2002);
    EXPECT_EQ(t.GetMonth(), 10);
    EXPECT_EQ(t.GetDay(), 4);
}

TEST_F(MarkupTest, TimePacketsOutOfRangeAreRefused) {
    Open();
    CTime t;
    EXPECT_EQ(M().GetLastUpdatedTime(t, 0), 0);
    ASSERT_EQ(Feed(TimePacket(3, 0, 5, 6, 7, 8)), 1);
    const struct {
        int month, day, hour, minute, result;
    } cases[] = {{13, 1, 0, 0, 0}, {0, 1, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 32, 0, 0, 0},
                 {1, 1, 25, 0, 0}, {1, 1, 0, 60, 0}, {1, 1, 24, 0, 1}, {12, 30, 23, 59, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Feed(TimePacket(3, 0, c.month, c.day, c.hour, c.minute)), c.result) << c.month << "/" << c.day;
        ASSERT_EQ(M().GetLastUpdatedTime(t, 0), 1);
        if (!c.result) {
            EXPECT_EQ(t.GetMonth(), 5);
        }
    }
    EXPECT_EQ(t.GetMonth(), 12);
}

TEST_F(MarkupTest, BodyOfTwoPartsJoinsBothWithCarriageReturns) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Send(News({.document = 7, .part = 1, .lastPart = 1, .kind = 3}, Cp("둘째 문단")));
    int result = -1;
    EXPECT_EQ(Body(7, result), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(M().IsDocAvailable(7, 0, 3), 0);
    // A second copy of part 1 must not stand in for the missing part 0.
    Send(News({.document = 7, .part = 1, .lastPart = 1, .kind = 3, .segment = 2}, Cp("둘째 문단 고침")));
    EXPECT_EQ(M().IsDocAvailable(7, 0, 3), 0);
    Body(7, result);
    EXPECT_EQ(result, 0);
    Send(News({.document = 7, .part = 0, .lastPart = 1, .kind = 3}, Cp("첫 문단\x01")));
    EXPECT_EQ(M().IsDocAvailable(7, 0, 3), 1);
    std::string body = Body(7, result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(body == "첫 문단\r둘째 문단\r" || body == "첫 문단\r둘째 문단 고침\r") << body;
}

TEST_F(MarkupTest, BrokenJoinsAndBadCrcLeaveTheQueuesUnchanged) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    auto packets = News({.segment = 1}, Head(7, "첫 번째 소식입니다 길게 씁니다"));
    ASSERT_GE(packets.size(), 3u);
    // A middle packet of another segment breaks the join; the rest of the sentence is ignored.
    ASSERT_EQ(Feed(packets[0]), 1);
    Packet other = packets[1];
    other[1] = 0x21;
    EXPECT_EQ(Feed(other), 0);
    for (std::size_t i = 1; i < packets.size(); ++i) EXPECT_EQ(Feed(packets[i]), 0);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 0);
    // A wrong CRC drops the sentence.
    auto bad = packets;
    bad[1][5] ^= 0x40;
    for (const Packet& p : bad) Feed(p);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 0);
    EXPECT_EQ(M().Queue(CMarkup::kBodies).GetNum(), 0);
    // The next first packet starts again.
    Send(packets);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 1);
}

TEST_F(MarkupTest, OversizedSentenceIsDroppedNotGrown) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Packet first(22, 0x41);
    first[0] = 0x43;
    first[1] = 0x11;
    first[6] = 0x20;
    ASSERT_EQ(Feed(first), 1);
    Packet middle(22, 0x41);
    middle[0] = 0x83;
    middle[1] = 0x11;
    int accepted = 0;
    for (int i = 0; i < 200; ++i) accepted += Feed(middle) == 1 && i < 60 ? 1 : 0;
    EXPECT_LE(accepted, 60);
    Packet last = middle;
    last[0] = 0xC3;
    EXPECT_EQ(Feed(last), 0); // the join was given up at 1024 bytes
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 0);
}

TEST_F(MarkupTest, DuplicatesSerialsAndTheRing) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Send(News({.document = 1, .serial = 1}, Head(7, "같은 소식")));
    Send(News({.document = 1, .serial = 1, .segment = 2}, Head(7, "같은 소식")));
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 1);
    Send(News({.document = 2, .serial = 1}, Head(8, "다른 문서")));
    Send(News({.document = 1, .serial = 2, .version = 1}, Head(9, "새 판")));
    // Document 1's entry of serial 1 is gone; document 2 stays.
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 2);
    int number = 0;
    unsigned char unread = 0;
    EXPECT_EQ(Title(number, unread), "08:05 다른 문서");
    EXPECT_EQ(Title(number, unread), "08:05 새 판");
    EXPECT_EQ(Title(number, unread), "<none>");

    M().reset();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    for (int i = 1; i <= 101; ++i) {
        std::string text = "소식 " + std::to_string(i);
        Send(News({.document = 100 + i}, Head(i, text.c_str())));
    }
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 100);
    EXPECT_EQ(Title(number, unread), "08:05 소식 2"); // the first was overwritten
    EXPECT_EQ(number, 2);
}

TEST_F(MarkupTest, LongGapOrNewVersionResetsAndRaisesTheFlag) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Send(News({}, Head(7, "교통 소식")));
    AdvanceMinutes(240);
    Send(News({.document = 2}, Head(8, "다음 소식")));
    EXPECT_EQ(M().getReset(), 0);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 2);
    AdvanceMinutes(241);
    ASSERT_EQ(Feed(News({.document = 3}, Head(9, "x"))[0]), 1);
    EXPECT_EQ(M().getReset(), 1);
    EXPECT_EQ(M().getReset(), 0); // collected
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 0);
    CTime t;
    EXPECT_EQ(M().GetLastUpdatedTime(t, 0), 0);
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Send(News({.document = 3, .version = 1}, Head(9, "x")));
    ASSERT_EQ(Feed(News({.document = 4, .version = 2}, Head(10, "y"))[0]), 1);
    EXPECT_EQ(M().getReset(), 1);
}

TEST_F(MarkupTest, SaveFileRoundTripAndFreshness) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    Send(News({}, Head(7, "교통 소식")));
    Send(News({.document = 7, .lastPart = 0, .kind = 3, .segment = 2}, Cp("본문")));
    ASSERT_EQ(M().close(), 1);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 1);
    const std::string saved = m_root.Read("My Documents/Velko/MDSStore.bin");
    EXPECT_FALSE(m_root.Exists("My Documents/Velko/MDSStore.bin.new"));
    // Marker 100, two entries; the head: document 1, number 7, length 9 ("교통 소식" in CP949).
    ASSERT_GE(saved.size(), 9u);
    EXPECT_EQ(saved.substr(0, 9), Bytes({100, 2, 0, 1, 0, 7, 0, 9, 0}));
    EXPECT_EQ(saved.substr(9, 9), Utf8ToCp949("교통 소식"));
    // unread 1, time 0x0A030805 little-endian, part 0, last 0, serial 1, kind 2.
    EXPECT_EQ(saved.substr(18, 9), Bytes({1, 0x05, 0x08, 0x03, 0x0A, 0, 0, 1, 2}));

    CMarkup::destruct();
    SetAge("My Documents/Velko/MDSStore.bin", 239 * 60);
    Open();
    int result = 0;
    EXPECT_EQ(Body(7, result), "본문\r");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 1);

    M().close();
    CMarkup::destruct();
    SetAge("My Documents/Velko/MDSStore.bin", 240 * 60);
    Open();
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 0);
    EXPECT_EQ(M().Queue(CMarkup::kBodies).GetNum(), 0);
}

TEST_F(MarkupTest, DamagedSaveFilesStopTheLoad) {
    const struct {
        const char* name;
        std::string content;
        int heads;
    } cases[] = {
        {"wrong marker", Bytes({99, 1, 0, 1, 0, 7, 0, 1, 0, 'a', 1, 0, 0, 0, 0, 0, 0, 1, 2}), 0},
        {"count beyond the file", Bytes({100, 5, 0, 1, 0, 7, 0, 1, 0, 'a', 1, 0, 0, 0, 0, 0, 0, 1, 2}), 1},
        {"text longer than an entry", Bytes({100, 1, 0, 1, 0, 7, 0, 0, 4}) + std::string(1024, 'a'), 0},
        {"record cut short", Bytes({100, 1, 0, 1, 0, 7, 0, 5, 0, 'a'}), 0},
    };
    for (const auto& c : cases) {
        m_root.MakeFile("My Documents/Velko/MDSStore.bin", c.content);
        SetAge("My Documents/Velko/MDSStore.bin", 0);
        Open();
        EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), c.heads) << c.name;
        CMarkup::destruct();
    }
}

TEST_F(MarkupTest, OlderSerialClearedFromAFullRingKeepsTheOrder) {
    Open();
    Feed(TimePacket(3, 0, 10, 3, 8, 5));
    // 101 heads fill the ring and overwrite the first; head 2, now the oldest, belongs to
    // document 7.
    for (int i = 1; i <= 101; ++i) {
        std::string text = "소식 " + std::to_string(i);
        Send(News({.document = i == 2 ? 7 : 100 + i}, Head(i, text.c_str())));
    }
    // A new serial of document 7 clears head 2 and adds its own at the end.
    Send(News({.document = 7, .serial = 2}, Head(500, "새 소식")));
    EXPECT_EQ(M().Queue(CMarkup::kHeads).GetNum(), 100);
    std::vector<int> numbers;
    int number = 0;
    unsigned char unread = 0;
    while (Title(number, unread) != "<none>") numbers.push_back(number);
    std::vector<int> expected;
    for (int i = 3; i <= 101; ++i) expected.push_back(i);
    expected.push_back(500);
    EXPECT_EQ(numbers, expected);
}

TEST_F(MarkupTest, SaveFileThatCannotBeWrittenIsReported) {
    Open();
    m_root.MakeFile("My Documents/Velko/MDSStore.bin.new/x", "");
    EXPECT_EQ(M().close(), 0);
    EXPECT_EQ(m_notices, std::vector<std::string>{"마크업 뉴스정보 파일 저장 오류!"});
}
