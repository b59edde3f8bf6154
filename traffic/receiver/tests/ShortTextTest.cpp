#include "traffic/receiver/tests/ContentFixture.h"

class ShortTextTest : public ContentFixture {
protected:
    CShortText& S() { return *CShortText::instance(); }
    void Open() { S().openFile(Folder()); }
    int Feed(const Packet& p) { return S().setData(p.data(), static_cast<int>(p.size())); }
    // The packets of one short text: bytes 2-5, serial, expected length, the text, NUL padding
    // and the trailer.
    std::vector<Packet> Text(int kind, const Packet& text, int expected, int serial = 1) {
        Packet block{0, 0, 0, 0, static_cast<unsigned char>(serial), static_cast<unsigned char>(expected)};
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(0);
        return Cut(Seal(block), 4, static_cast<unsigned char>(0x20 | kind));
    }
    void Send(const std::vector<Packet>& packets) {
        for (const Packet& p : packets) ASSERT_EQ(Feed(p), 1);
    }
    std::vector<std::string> All() {
        std::vector<std::string> out;
        char text[10240];
        int unread = 0, kind = 0;
        while (S().getSentence(text, unread, kind)) out.push_back(Cp949ToUtf8(text));
        return out;
    }
};

TEST_F(ShortTextTest, KindsGetTheirPrefixAndTime) {
    Open();
    ASSERT_EQ(Feed(TimePacket(4, 3, 10, 3, 17, 40)), 1);
    ASSERT_EQ(Feed(TimePacket(4, 1, 10, 2, 9, 15)), 1);
    ASSERT_EQ(Feed(TimePacket(4, 4, 10, 3, 6, 0)), 1);
    Packet accident = Cp("1차로 사고");
    Send(Text(3, accident, static_cast<int>(accident.size())));
    Packet plain = Cp("안내");
    Send(Text(1, plain, static_cast<int>(plain.size())));
    // An escape byte in the text is removed before the length is compared.
    Packet notice = Cp("공사");
    Packet withEscape = notice;
    withEscape.insert(withEscape.begin() + 2, 0x1B);
    Send(Text(4, withEscape, static_cast<int>(notice.size())));
    char text[10240];
    int unread = 0, kind = 0;
    ASSERT_EQ(S().getSentence(text, unread, kind), 1);
    EXPECT_EQ(Cp949ToUtf8(text), "17:40 [사고] 1차로 사고");
    EXPECT_EQ(unread, 1);
    EXPECT_EQ(kind, 3);
    ASSERT_EQ(S().getSentence(text, unread, kind), 1);
    EXPECT_EQ(Cp949ToUtf8(text), "09:15 안내");
    ASSERT_EQ(S().getSentence(text, unread, kind), 1);
    EXPECT_EQ(Cp949ToUtf8(text), "06:00 [공지] 공사");
    EXPECT_EQ(S().getSentence(text, unread, kind), 0);
    ASSERT_EQ(S().getSentence(text, unread, kind), 1);
    EXPECT_EQ(unread, 0);
    EXPECT_EQ(S().IsDataAvailable(3), 1);
    EXPECT_EQ(S().IsDataAvailable(2), 0);
    // A new accident time of the next day shows the older text by its date.
    ASSERT_EQ(Feed(TimePacket(4, 3, 10, 4, 1, 0)), 1);
    All(); // ends the pass begun above
    EXPECT_EQ(All().at(0), "10/03 [사고] 1차로 사고");
}

TEST_F(ShortTextTest, RefusedAndDroppedSentences) {
    Open();
    EXPECT_EQ(Feed(TimePacket(4, 5, 10, 3, 17, 40)), 0);
    EXPECT_EQ(Feed(TimePacket(4, 0, 10, 3, 17, 40)), 0);
    EXPECT_EQ(Feed(TimePacket(4, 2, 10, 3, 17, 60)), 0);
    CTime t;
    EXPECT_EQ(S().GetLastUpdatedTime(t, 1, 0), 0);
    EXPECT_EQ(S().GetLastUpdatedTime(t, 4, 0), 0); // no fifth kind
    // No time of the kind yet: dropped.
    Packet text = Cp("정체 구간");
    Send(Text(2, text, static_cast<int>(text.size())));
    EXPECT_EQ(S().Queue().GetNum(), 0);
    ASSERT_EQ(Feed(TimePacket(4, 2, 10, 3, 17, 40)), 1);
    // The cleaned text one byte shorter than announced: dropped.
    Send(Text(2, text, static_cast<int>(text.size()) + 1));
    EXPECT_EQ(S().Queue().GetNum(), 0);
    // A bad trailer: dropped.
    auto bad = Text(2, text, static_cast<int>(text.size()));
    bad.back()[21] ^= 1;
    for (const Packet& p : bad) Feed(p);
    EXPECT_EQ(S().Queue().GetNum(), 0);
    // The same text twice: kept once.
    Send(Text(2, text, static_cast<int>(text.size())));
    Send(Text(2, text, static_cast<int>(text.size())));
    EXPECT_EQ(S().Queue().GetNum(), 1);
    EXPECT_EQ(All(), std::vector<std::string>{"17:40 [긴급] 정체 구간"});
    // A straggler after the last packet no longer matches.
    auto packets = Text(2, Cp("다른 글"), 7);
    for (const Packet& p : packets) Feed(p);
    EXPECT_EQ(Feed(packets.back()), 0);
}

TEST_F(ShortTextTest, LongGapAndNewSerialEmptyTheQueue) {
    Open();
    ASSERT_EQ(Feed(TimePacket(4, 1, 10, 3, 17, 40)), 1);
    Packet text = Cp("안내");
    Send(Text(1, text, static_cast<int>(text.size())));
    AdvanceMinutes(1440);
    Send(Text(1, Cp("둘"), 2));
    EXPECT_EQ(S().getReset(), 0);
    EXPECT_EQ(S().Queue().GetNum(), 2);
    AdvanceMinutes(1441);
    ASSERT_EQ(Feed(Text(1, text, 4)[0]), 1);
    EXPECT_EQ(S().getReset(), 1);
    EXPECT_EQ(S().Queue().GetNum(), 0);
    ASSERT_EQ(Feed(TimePacket(4, 1, 10, 3, 17, 40)), 1);
    Send(Text(1, text, 4));
    ASSERT_EQ(Feed(Text(1, text, 4, 2)[0]), 1);
    EXPECT_EQ(S().getReset(), 1);
    EXPECT_EQ(S().Queue().GetNum(), 0);
}

TEST_F(ShortTextTest, SaveFileRoundTripWithoutTheTimes) {
    Open();
    ASSERT_EQ(Feed(TimePacket(4, 3, 10, 3, 17, 40)), 1);
    Packet text = Cp("사고");
    Send(Text(3, text, 4, 7));
    ASSERT_EQ(S().close(), 1);
    // Marker, serial 7, one entry: length 4, the text, unread 1, time 0x0A031128, kind 3.
    EXPECT_EQ(m_root.Read("My Documents/Velko/STSStore.bin"),
              Bytes({0x65, 7, 1, 4}) + Utf8ToCp949("사고") + Bytes({1, 0x28, 0x11, 0x03, 0x0A, 3, 0, 0, 0}));
    CShortText::destruct();
    SetAge("My Documents/Velko/STSStore.bin", 1439 * 60);
    Open();
    CTime t;
    EXPECT_EQ(S().GetLastUpdatedTime(t, 2, 0), 0);
    // Without the kind's time the reference is now (15 January): the entry shows its date.
    EXPECT_EQ(All(), std::vector<std::string>{"10/03 [사고] 사고"});
    // The restored serial: a first packet of serial 7 does not reset.
    ASSERT_EQ(Feed(Text(3, text, 4, 7)[0]), 1);
    EXPECT_EQ(S().getReset(), 0);
    S().close();
    CShortText::destruct();
    SetAge("My Documents/Velko/STSStore.bin", 1440 * 60);
    Open();
    EXPECT_EQ(S().Queue().GetNum(), 0);
}

TEST_F(ShortTextTest, SaveFileEntriesOfUnknownKindOrCutShort) {
    const struct {
        const char* name;
        std::string content;
        int count;
    } cases[] = {
        {"kind 9 skipped", Bytes({0x65, 1, 2, 1, 'a', 1, 0, 0, 0, 1, 9, 0, 0, 0, 1, 'b', 1, 0, 0, 0, 1, 2, 0, 0, 0}), 1},
        {"count beyond the file", Bytes({0x65, 1, 9, 1, 'a', 1, 0, 0, 0, 1, 1, 0, 0, 0}), 1},
        {"cut short", Bytes({0x65, 1, 1, 5, 'a'}), 0},
        {"wrong marker", Bytes({0x64, 1, 1, 1, 'a', 1, 0, 0, 0, 1, 1, 0, 0, 0}), 0},
    };
    for (const auto& c : cases) {
        m_root.MakeFile("My Documents/Velko/STSStore.bin", c.content);
        SetAge("My Documents/Velko/STSStore.bin", 0);
        Open();
        EXPECT_EQ(S().Queue().GetNum(), c.count) << c.name;
        char text[10240];
        int unread = 0, kind = 0;
        while (S().getSentence(text, unread, kind)) EXPECT_GE(kind, 1);
        CShortText::destruct();
    }
}
