// Labels, page lists and the scroll list. Text sizes are the built-in font's: 6 pixels a Latin
// character, 10 high.
#include "SkinTestSupport.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviScrollList.h"

#include <memory>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class Events : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override { got.push_back(cmd); }
    std::vector<NaviCommand> got;
};

NaviCommand Command(const char16_t* target, const char16_t* control, int id, int param1 = -1,
                    const char16_t* text = u"") {
    NaviCommand cmd;
    cmd.target = target;
    cmd.control = control;
    cmd.id = id;
    cmd.param1 = param1;
    cmd.text = text;
    return cmd;
}

// The leftmost and rightmost columns (right exclusive) holding colour c in rows top..bottom.
std::pair<int, int> Columns(const Canvas& canvas, COLORREF c, int top, int bottom) {
    int left = canvas.width, right = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.At(x, y) == c) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
    return {left, right};
}

class LabelsAndLists : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes b = ArchiveBytes({{"Configure\\Radio", SolidPng(16, 16, RGB(0, 0, 255))},
                                      {"Configure\\Radio_Press", SolidPng(16, 16, RGB(0, 255, 0))}},
                                     2);
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
        builder.SetImageGroup(u"Configure");
    }
    TempRoot root;
    NaviRcBuilder builder;
};

} // namespace

TEST_F(LabelsAndLists, LabelPlacesItsTextAndFollowsIt) {
    // Style 0: no text until one is set; nothing drawn, the made rectangle kept.
    std::unique_ptr<NaviLabel> label(builder.CreateLabel(u"제목", 238, 50, 30, 14, kBlack, 0, kAlignLeftOfX, kWhite));
    Canvas canvas(240, 100);
    label->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_TRUE(SameRect(label->GetRect(), RECT{238, 50, 268, 64}));

    // "ABC" is 18 wide: it ends 2 pixels left of x 238.
    label->SetText(u"ABC");
    label->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(label->GetRect(), RECT{218, 50, 236, 60}));
    const RECT ink = canvas.Ink();
    EXPECT_GE(ink.left, 217); // the bold pass one pixel left
    EXPECT_LE(ink.right, 236);
    EXPECT_GE(ink.top, 50);
    EXPECT_LE(ink.bottom, 60);

    // Screen placements.
    label->SetAlign(kAlignScreenLeft);
    label->Draw(&canvas.cdc);
    EXPECT_EQ(label->GetRect().left, 2);
    label->SetAlign(kAlignScreenCentre);
    label->Draw(&canvas.cdc);
    EXPECT_EQ(label->GetRect().left, (240 - 18) / 2);
    label->SetAlign(kAlignAtX);
    label->SetFramed(true);
    label->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(label->GetRect(), RECT{238, 50, 238 + 26, 68}));
}

TEST_F(LabelsAndLists, LabelStylesDecidePassesAndBackground) {
    constexpr COLORREF kBack = RGB(0, 0, 255);
    constexpr COLORREF kText = RGB(255, 0, 0);
    auto draw = [&](int style, Canvas& canvas) {
        NaviLabel label;
        label.SetName(u"L");
        label.SetPos(20, 10);
        label.SetText(u"HH");
        label.SetStyle(style);
        label.SetTextColor(kText);
        label.SetBackColor(kBack);
        label.Draw(&canvas.cdc);
    };
    // Style 0: background filled over the text's 12 x 10, text drawn twice (the second one left).
    Canvas plain(80, 40);
    draw(0, plain);
    EXPECT_EQ(plain.At(20, 10), kBack);
    EXPECT_EQ(plain.At(31, 19), kBack);
    EXPECT_EQ(plain.At(32, 10), kWhite);
    // Style 6: one pass, no background; style 4: the bold pass adds a column on the left.
    Canvas once(80, 40), twice(80, 40);
    draw(6, once);
    draw(4, twice);
    EXPECT_EQ(Columns(once, kBack, 0, 40).second, 0);
    const auto [onceLeft, onceRight] = Columns(once, kText, 0, 40);
    const auto [twiceLeft, twiceRight] = Columns(twice, kText, 0, 40);
    EXPECT_EQ(twiceLeft, onceLeft - 1);
    EXPECT_EQ(twiceRight, onceRight);
    // Style 12: a first pass in the background colour shows right of the bold pass.
    Canvas outlined(80, 40);
    draw(12, outlined);
    const auto [backLeft, backRight] = Columns(outlined, kBack, 0, 40);
    EXPECT_EQ(backRight, onceRight);
    EXPECT_EQ(Columns(outlined, kText, 0, 40).first, onceLeft - 1);
    EXPECT_LT(backLeft, backRight);
}

TEST_F(LabelsAndLists, LabelBoxAlignmentAndTextCommand) {
    // Made with style 4: shows its name, centred in the 34 x 16 box it was made with.
    std::unique_ptr<NaviLabel> speed(builder.CreateLabel(u"60", 100, 200, 34, 16, kBlack, 4, kAlignInBox, kWhite));
    Canvas canvas(240, 320);
    speed->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(speed->GetRect(), RECT{100, 200, 134, 216}));
    const RECT ink = canvas.Ink();
    // "60" is 12 x 10: from x 111 (one more to the left for the bold pass), y 203.
    EXPECT_GE(ink.left, 110);
    EXPECT_LE(ink.right, 123);
    EXPECT_GE(ink.top, 203);
    EXPECT_LE(ink.bottom, 213);

    struct Case {
        const char16_t* target;
        const char16_t* control;
        int id;
        bool takes;
    };
    for (const Case& c : {Case{u"NaviMain", u"60", kCmdSetLabelText, true}, Case{u"DIALOG", u"60", kCmdSetLabelText, true},
                          Case{u"X", u"60", kCmdSetLabelText, false}, Case{u"DIALOG", u"61", kCmdSetLabelText, false},
                          Case{u"DIALOG", u"60", kCmdSelect, false}}) {
        speed->SetText(u"old");
        NaviCommand cmd = Command(c.target, c.control, c.id, -1, u"new");
        speed->ProcessCommand(cmd);
        EXPECT_EQ(speed->GetText(), CString(c.takes ? u"new" : u"old")) << CString(c.target).ToUtf8();
    }
    EXPECT_EQ(speed->HitTest(110, 205), 0);
}

TEST_F(LabelsAndLists, ItemListShowsOnePageAndPassesThePenToIt) {
    NaviItemList list;
    list.SetName(u"Pages");
    list.SetSize(240, 200);
    list.SetPos(0, 0);
    EXPECT_EQ(list.HitTest(10, 10), 0); // no page yet
    EXPECT_EQ(list.GetCurrentItem(), nullptr);

    Events events;
    auto* first = new NaviPanel();
    first->SetSize(240, 200);
    first->SetPos(0, 0);
    first->SetListener(&events);
    auto* button = new NaviButton();
    button->SetName(u"OK");
    button->SetPressFeedback(true);
    button->SetSize(20, 20);
    button->SetPos(10, 10);
    button->SetListener(first);
    first->AddChild(button);
    auto* second = new NaviPanel();
    second->SetSize(240, 200);
    auto* notPanel = new NaviButton();
    notPanel->SetSize(240, 200);

    list.AddItem(first);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_TRUE(first->IsVisible());
    list.AddItem(second);
    list.AddItem(notPanel);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_FALSE(second->IsVisible());
    EXPECT_FALSE(notPanel->IsVisible());
    list.ShowPage(-1);
    list.ShowPage(3);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_TRUE(first->IsVisible());

    // The pen reaches the visible page's button.
    ASSERT_EQ(list.HitTest(15, 15), 1);
    list.OnPenDown();
    list.OnPenUp();
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].target, CString(u"OK"));

    // 2014 turns the page; a page that is no panel gets no pen.
    NaviCommand show = Command(u"X", u"Pages", kCmdSelect, 2);
    list.ProcessCommand(show);
    EXPECT_EQ(list.GetCurrentItem(), notPanel);
    ASSERT_EQ(list.HitTest(15, 15), 1);
    list.OnPenDown();
    list.OnPenUp();
    EXPECT_FALSE(notPanel->IsPressed());
    EXPECT_EQ(events.got.size(), 1u);

    // Broadcasts go to every page, the rest to the owner.
    NaviCommand hide = Command(u"DIALOG", u"OK", kCmdDisable);
    list.ProcessCommand(hide);
    EXPECT_FALSE(button->IsVisible());
    Events owner;
    list.SetOwner(&owner);
    NaviCommand up = Command(u"Other", u"", kCmdTapped);
    list.ProcessCommand(up);
    EXPECT_EQ(owner.got.size(), 1u);
}

namespace {

// A 210-high list at the popup's place, rows added by command.
std::unique_ptr<NaviScrollList> ListOf(NaviRcBuilder& builder, int rows, Events* events) {
    std::unique_ptr<NaviScrollList> list(builder.CreateScrollList(u"L그룹", 18, 17, 133, 227));
    for (int i = 0; i < rows; ++i) {
        CString name;
        name.Format(u"R%d", i);
        NaviCommand add = Command(u"DIALOG", u"L그룹", kCmdAddRow, -1, name.GetString());
        list->ProcessCommand(add);
    }
    list->SetListener(events);
    return list;
}

int Count(const std::vector<NaviCommand>& got, int id, const char16_t* control = nullptr) {
    int n = 0;
    for (const NaviCommand& c : got)
        if (c.id == id && (!control || c.control == control)) ++n;
    return n;
}

} // namespace

TEST_F(LabelsAndLists, ScrollListPagesInThirtyPixelSteps) {
    Events events;
    EXPECT_EQ(ListOf(builder, 7, &events)->GetPageCount(), 1);
    auto list = ListOf(builder, 8, &events);
    EXPECT_EQ(list->GetPageCount(), 2);
    EXPECT_EQ(list->GetSelectedIndex(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(list->GetButton(i)->GetPos().y, 17 + 30 * i);
        EXPECT_EQ(list->GetButton(i)->GetPos().x, 18);
    }
    list->PrevPage();
    EXPECT_TRUE(events.got.empty());
    list->NextPage();
    EXPECT_EQ(Count(events.got, kCmdScrollStep), 7);
    EXPECT_EQ(events.got[0].target, CString(u"L그룹"));
    EXPECT_EQ(list->GetCurrentPage(), 1);
    EXPECT_EQ(list->GetButton(7)->GetPos().y, 17);
    EXPECT_EQ(list->GetButton(7)->GetRect().top, 17);
    events.got.clear();
    list->NextPage();
    EXPECT_TRUE(events.got.empty());
    NaviCommand back = Command(u"X", u"L그룹", kCmdPageList, -1);
    list->ProcessCommand(back);
    EXPECT_EQ(Count(events.got, kCmdScrollStep), 7);
    EXPECT_EQ(list->GetButton(0)->GetPos().y, 17);
    // Back on the first page: the up arrow disabled, the down arrow not.
    ASSERT_GE(events.got.size(), 2u);
    const NaviCommand& up = events.got[events.got.size() - 2];
    const NaviCommand& down = events.got.back();
    EXPECT_EQ(up.control, CString(u"DisableArrowUp"));
    EXPECT_EQ(up.id, kCmdMarkShow);
    EXPECT_EQ(down.control, CString(u"DisableArrowDown"));
    EXPECT_EQ(down.id, kCmdDisable);

    // Only rows wholly inside the list are drawn.
    Canvas canvas(240, 320);
    list->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(18, 17 + 30 * 6), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(18, 17 + 30 * 7), kWhite);
}

TEST_F(LabelsAndLists, ScrollListSelectionPlacesRowsOnTheirPage) {
    Events events;
    auto list = ListOf(builder, 12, &events);
    for (int round = 0; round < 2; ++round) {
        events.got.clear();
        NaviCommand select = Command(u"DIALOG", u"L그룹", kCmdSelect, 9);
        list->ProcessCommand(select);
        EXPECT_EQ(list->GetCurrentPage(), 1);
        EXPECT_EQ(list->GetSelectedIndex(), 9);
        EXPECT_TRUE(list->GetButton(9)->IsPressed());
        ASSERT_EQ(events.got.size(), 2u);
        EXPECT_EQ(events.got[0].control, CString(u"DisableArrowUp"));
        EXPECT_EQ(events.got[0].id, kCmdDisable);
        EXPECT_EQ(events.got[1].control, CString(u"DisableArrowDown"));
        EXPECT_EQ(events.got[1].id, kCmdMarkShow);
        for (int i = 7; i < 12; ++i) EXPECT_EQ(list->GetButton(i)->GetPos().y, 17 + 30 * (i - 7)) << i;
        EXPECT_LT(list->GetButton(6)->GetRect().bottom, 17);
    }
    // A tap on the second visible row picks row 8 and reports it.
    Canvas canvas(240, 320);
    list->Draw(&canvas.cdc);
    ASSERT_EQ(list->HitTest(25, 17 + 30 + 5), 1);
    list->OnPenDown();
    list->OnPenUp();
    ASSERT_FALSE(events.got.empty());
    EXPECT_EQ(events.got.back().id, kCmdTapped);
    EXPECT_EQ(events.got.back().text, CString(u"R8"));
    EXPECT_EQ(events.got.back().param1, 8);
    EXPECT_FALSE(list->GetButton(9)->IsPressed());
    // An index outside the rows changes nothing.
    NaviCommand outside = Command(u"DIALOG", u"L그룹", kCmdSelect, 12);
    list->ProcessCommand(outside);
    EXPECT_EQ(list->GetSelectedIndex(), 8);
}
