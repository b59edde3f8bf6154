#include "transit/BusDialog.h"
#include "transit/SubDialog.h"
#include "transit/tests/FakeServer.h"

#include "platform/base/Clock.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

std::string BusText() {
    return std::string("4|17\n") + Cp(u"가람시청") + "|100000|450000|12\n" + Cp(u"가람역") + "|100500|451000|700\n" +
           Cp(u"나래입구") + "|101000|452000|9\n" + Cp(u"다솜") + "|102000|453000|3\n" + "2|9\n" + Cp(u"바람") +
           "|110000|460000|" + Cp(u"마을1") + "\n" + Cp(u"나래") + "|111000|461000|5\n";
}

std::string BusReply(const std::string& text, int routes) {
    std::string r;
    PutLE(r, 12345);
    PutBE(r, 0);
    PutBE(r, 0);
    PutBE(r, static_cast<std::uint32_t>(routes));
    PutBE(r, static_cast<std::uint32_t>(text.size()));
    return r + text;
}

class TransitDialogTest : public ::testing::Test {
protected:
    void SetUp() override { InstallClock(&m_clock); }
    void TearDown() override {
        WinSetIdleHandler(nullptr);
        WinResetForTests();
        InstallClock(nullptr);
    }

    // Runs the dialog with `steps` done one per idle round; each gets the dialog's window.
    INT_PTR Run(CDialog& dialog, std::vector<std::function<void(HWND)>> steps) {
        std::size_t next = 0;
        WinSetIdleHandler([&](int) {
            if (next >= steps.size()) return false;
            steps[next++](dialog.m_hWnd);
            return true;
        });
        const INT_PTR result = dialog.DoModal();
        WinSetIdleHandler(nullptr);
        EXPECT_EQ(next, steps.size());
        return result;
    }

    static std::vector<std::u16string> Rows(CListBox& list) {
        std::vector<std::u16string> rows;
        for (int i = 0; i < list.GetCount(); ++i) {
            CString t;
            list.GetText(i, t);
            rows.emplace_back(t.GetString());
        }
        return rows;
    }

    void HeldBusAnswer(CBusConnect& c, const std::string& text, int routes) {
        FakeServer server(40, BusReply(text, routes));
        c.Setup("127.0.0.1", static_cast<short>(server.Port()));
        c.SetReplyTimeout(2);
        ASSERT_EQ(c.Execute(120000, 450000, 240000, 460000), 0);
        c.Close();
    }

    SimulatedClock m_clock;
};

TEST_F(TransitDialogTest, BusRoutesAndStopsAndTheChosenStop) {
    CBusConnect c;
    HeldBusAnswer(c, BusText(), 2);
    CBusDialog dialog;
    dialog.m_pConnect = &c;
    const INT_PTR result = Run(dialog, {
        [&](HWND) {
            ASSERT_EQ(dialog.m_comboResult.GetCount(), 2);
            CString entry;
            dialog.m_comboResult.GetLBText(0, entry);
            EXPECT_EQ(std::u16string(entry.GetString()), u"경로 1 (2번 환승, 총17정거장)");
            dialog.m_comboResult.GetLBText(1, entry);
            EXPECT_EQ(std::u16string(entry.GetString()), u"경로 2 (환승없음, 총9정거장)");
            EXPECT_EQ(Rows(dialog.m_listResult),
                      (std::vector<std::u16string>{u"출발:가람시청, 12", u"환승:가람역, 700", u"환승:나래입구, 9",
                                                   u"하차:다솜"}));
            EXPECT_EQ(dialog.m_listResult.GetCurSel(), 0);
        },
        [&](HWND h) {
            dialog.m_comboResult.SetCurSel(1);
            ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_COMBO_BUSRESULT, CBN_SELCHANGE), 0);
            EXPECT_EQ(Rows(dialog.m_listResult), (std::vector<std::u16string>{u"출발:바람, 마을1", u"하차:나래"}));
            EXPECT_EQ(dialog.m_listResult.GetCurSel(), 0);
        },
        [&](HWND h) {
            dialog.m_listResult.SetCurSel(-1); // "보기" with no row chosen keeps the dialog open
            ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_NE(dialog.m_hWnd, nullptr);
        },
        [&](HWND h) {
            dialog.m_listResult.SetCurSel(1);
            ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
    });
    EXPECT_EQ(result, IDOK);
    BusStopInfo info{};
    EXPECT_EQ(dialog.GetInfo(info), 1);
    EXPECT_EQ(std::string(info.name), Cp(u"나래"));
    EXPECT_EQ(info.x, 133200); // 111000 x 1.2
    EXPECT_EQ(info.y, 461000);
}

TEST_F(TransitDialogTest, CloseLeavesNoChoiceAndLongRowsWidenTheList) {
    CBusConnect c;
    const std::string longName(40, 'N'); // cut to 31 bytes: the row "하차:" + 31 characters
    HeldBusAnswer(c, "2|3\nA|1|1|1\n" + longName + "|2|2|2\n", 1);
    CBusDialog dialog;
    dialog.m_pConnect = &c;
    const INT_PTR result = Run(dialog, {
        [&](HWND h) {
            EXPECT_EQ(dialog.m_listResult.GetHorizontalExtent(), 10 * (3 + 31));
            ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    BusStopInfo info;
    std::memset(&info, 0x33, sizeof info);
    dialog.GetInfo(info);
    const BusStopInfo zero{};
    EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
}

TEST_F(TransitDialogTest, SubwayRowsAndADoubleTapChooses) {
    std::string text = Cp(u"가람역") + "|" + Cp(u"시청") + "|100000|450000|" + Cp(u"가람선") + "\n" + Cp(u"시청") + "|" +
                       Cp(u"바람") + "|101000|451000|" + Cp(u"가람선") + "\n" + Cp(u"바람") + "||102000|452000|" +
                       Cp(u"가람선") + "\n";
    std::string data;
    for (std::uint32_t v : {0u, 3u, 6u, static_cast<std::uint32_t>(text.size())}) PutBE(data, v);
    data += text;
    std::string reply;
    for (std::uint32_t v : {0x80000005u, 1u, static_cast<std::uint32_t>(data.size()), 12345u}) PutBE(reply, v);
    FakeServer server(40, reply + data);
    CSubConnect c;
    c.Setup("127.0.0.1", static_cast<short>(server.Port()));
    ASSERT_EQ(c.Execute(1, 1, 1, 1), 0);

    CSubDialog dialog;
    dialog.m_pConnect = &c;
    const INT_PTR result = Run(dialog, {
        [&](HWND h) {
            CString entry;
            dialog.m_comboResult.GetLBText(0, entry);
            EXPECT_EQ(std::u16string(entry.GetString()), u"경로 1 (1번 환승, 총6정거장)");
            EXPECT_EQ(Rows(dialog.m_listResult),
                      (std::vector<std::u16string>{u"출발:가람역, 시청방면, 가람선", u"환승:시청, 바람방면, 가람선",
                                                   u"하차:바람"}));
            dialog.m_listResult.SetCurSel(2);
            ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_LIST_SUBRESULT, LBN_DBLCLK), 0);
        },
    });
    EXPECT_EQ(result, IDOK);
    SubLineInfo info{};
    dialog.GetInfo(info);
    EXPECT_EQ(std::string(info.name), Cp(u"바람"));
    EXPECT_EQ(info.x, 122400);
}

} // namespace
