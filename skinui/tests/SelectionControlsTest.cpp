// Push buttons, check boxes, radio buttons and groups, the slider, check buttons, the combo box
// and the tab strip, driven as screens drive them. Text sizes are the built-in font's: 6 pixels
// a Latin and 12 a Hangul character, 10 high.
#include "SkinTestSupport.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviSliderBar.h"
#include "skinui/controls/NaviTabCtrl.h"

#include <memory>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A piece drawn transparently: its top-left pixel is the key colour, the rest is c.
Bytes Keyed(int width, int height, COLORREF c) {
    return RgbPng(width, height, [c](int x, int y) { return x == 0 && y == 0 ? RGB(1, 2, 3) : c; });
}

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

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes b = ArchiveBytes(
            {{"Configure\\Check", SolidPng(16, 16, kRed)},
             {"Configure\\Check_Press", SolidPng(16, 16, kGreen)},
             {"Configure\\Radio", SolidPng(16, 16, kBlue)},
             {"Configure\\Radio_Press", SolidPng(16, 16, kGreen)},
             {"Configure\\ComboBox_Left", Keyed(5, 23, kRed)},
             {"Configure\\ComboBox_Middle", SolidPng(4, 23, kGreen)},
             {"Configure\\ComboBox_Right", Keyed(5, 23, kBlue)},
             {"Menu\\Volume", SolidPng(96, 42, kGrey)},
             {"Menu\\Volume_Disable", SolidPng(96, 42, RGB(40, 40, 40))},
             {"Menu\\Volume_SliderImg", SolidPng(3, 3, kBlue)},
             {"Menu\\Volume_SliderBtn", SolidPng(2, 2, kGreen)},
             {"Menu\\OK", SolidPng(20, 10, kRed)},
             {"Menu\\OK_Press", SolidPng(20, 10, kGreen)},
             {"Menu\\Plain", SolidPng(20, 10, kRed)},
             {"Tab\\A", SolidPng(150, 34, kRed)},
             {"Tab\\B", SolidPng(150, 34, kGreen)}},
            16);
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
        builder.SetImageGroup(u"Configure");
    }
    TempRoot root;
    NaviRcBuilder builder;
};

} // namespace

TEST_F(Selection, CheckBoxLaysOutItsTextAndToggles) {
    Events events;
    std::unique_ptr<NaviCheckBox> box(builder.CreateCheckBox(u"표시 안함", 35, 260, 0, &events));
    EXPECT_FALSE(box->IsTransparent());
    Canvas canvas(240, 320);
    box->Draw(&canvas.cdc);
    // Image 16 + gap 3 + four Hangul and a blank (54), grown by 3 on every side.
    EXPECT_TRUE(SameRect(box->GetRect(), RECT{32, 257, 111, 279}));
    EXPECT_EQ(box->GetTextRect().left, 54);
    EXPECT_EQ(canvas.At(35, 260), kRed);
    RECT text{240, 320, 0, 0};
    for (int y = 255; y < 285; ++y)
        for (int x = 52; x < 120; ++x)
            if (canvas.At(x, y) != kWhite) {
                text.left = std::min<LONG>(text.left, x);
                text.right = std::max<LONG>(text.right, x + 1);
            }
    EXPECT_GE(text.left, 54);
    EXPECT_LE(text.right, 108);

    // Disabled: taps change nothing until 2028 with 1 enables it again.
    NaviCommand off = Command(u"DIALOG", u"표시 안함", kCmdDisable, 0);
    box->ProcessCommand(off);
    box->OnPenDown();
    EXPECT_FALSE(box->IsChecked());
    EXPECT_TRUE(events.got.empty());
    NaviCommand on = Command(u"DIALOG", u"표시 안함", kCmdDisable, 1);
    box->ProcessCommand(on);
    box->OnPenDown();
    EXPECT_TRUE(box->IsChecked());
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].target, CString(u"표시 안함"));
    EXPECT_EQ(events.got[0].id, kCmdTapped);
    EXPECT_EQ(events.got[0].param1, 1);
    box->OnPenDown();
    ASSERT_EQ(events.got.size(), 2u);
    EXPECT_EQ(events.got[1].param1, 0);

    // 2014 sets the state without a report; checked draws the pressed image, and keeps it.
    NaviCommand set = Command(u"DIALOG", u"표시 안함", kCmdSelect, 1);
    box->ProcessCommand(set);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(events.got.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        canvas.Clear();
        box->Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(35, 260), kGreen);
    }
    EXPECT_TRUE(box->IsChecked());
}

TEST_F(Selection, RadioButtonSitsOnePixelRightAndMovesWithItsText) {
    std::unique_ptr<NaviRadioButton> radio(builder.CreateRadioButton(u"설정", 0, 34, 65, true));
    Canvas canvas(240, 320);
    radio->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(radio->GetRect(), RECT{35, 65, 78, 81}));
    EXPECT_EQ(radio->GetTextRect().left, 54);
    EXPECT_EQ(canvas.At(34, 65), kBlue);
    // Moving keeps the size and takes the text along.
    radio->SetPos(34, 95);
    EXPECT_TRUE(SameRect(radio->GetRect(), RECT{35, 95, 78, 111}));
    EXPECT_EQ(radio->GetTextRect().top, 95 + 3);
    radio->SetPos(34, 65);
    EXPECT_TRUE(SameRect(radio->GetRect(), RECT{35, 65, 78, 81}));
}

TEST_F(Selection, RadioGroupSelectsByPenAndReportsTheRow) {
    Events events;
    NaviPanel panel;
    panel.SetListener(&events);
    NaviRadioGroup* group = builder.CreateRadioGroup(u"G");
    group->SetListener(&panel);
    const char16_t* names[] = {u"하나", u"둘", u"셋"};
    for (int i = 0; i < 3; ++i) group->AddButton(builder.CreateRadioButton(names[i], 0, 4, 20 + 20 * i, true));
    panel.AddChild(group);
    // The first button made index 0 the selection without the pressed look.
    EXPECT_EQ(group->GetSelectedIndex(), 0);
    EXPECT_FALSE(group->GetButton(0)->IsPressed());
    // Every row counts: the group holds them all.
    EXPECT_TRUE(SameRect(group->GetRect(), RECT{5, 20, 21, 76}));

    group->Select(0);
    EXPECT_TRUE(group->GetButton(0)->IsPressed());
    panel.DispatchPenDown(10, 65);
    panel.DispatchPenUp(10, 65);
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].target, CString(u"G"));
    EXPECT_EQ(events.got[0].text, CString(u"셋"));
    EXPECT_EQ(events.got[0].id, kCmdTapped);
    EXPECT_EQ(events.got[0].param1, 2);
    EXPECT_FALSE(group->GetButton(0)->IsPressed());
    EXPECT_TRUE(group->GetButton(2)->IsPressed());
    EXPECT_TRUE(group->IsSelected(group->GetButton(2)));

    // Indexes outside the rows change nothing.
    for (int id : {kCmdSelect, kCmdUncheck, kCmdRenameRow})
        for (int index : {-1, 3}) {
            NaviCommand cmd = Command(u"DIALOG", u"G", id, index, u"새이름");
            group->ProcessCommand(cmd);
            EXPECT_EQ(group->GetSelectedIndex(), 2);
            EXPECT_TRUE(group->GetButton(2)->IsPressed());
        }
    NaviCommand rename = Command(u"DIALOG", u"G", kCmdRenameRow, 1, u"둘째");
    group->ProcessCommand(rename);
    EXPECT_EQ(group->GetButton(1)->GetName(), CString(u"둘째"));
    NaviCommand select = Command(u"DIALOG", u"G", kCmdSelect, 1);
    group->ProcessCommand(select);
    EXPECT_EQ(group->GetSelectedIndex(), 1);
    EXPECT_FALSE(group->GetButton(2)->IsPressed());
    NaviCommand clear = Command(u"DIALOG", u"G", kCmdUncheck, 0);
    group->ProcessCommand(clear);
    EXPECT_EQ(group->GetSelectedIndex(), -1);
    EXPECT_EQ(group->GetSelectedButton(), nullptr);
    EXPECT_FALSE(group->GetButton(1)->IsPressed());

    // A row added by command goes 20 below the last one and widens the touch area to it.
    NaviCommand add = Command(u"DIALOG", u"G", kCmdAddRow, 3, u"넷");
    group->ProcessCommand(add);
    ASSERT_EQ(group->GetCount(), 4);
    EXPECT_EQ(group->GetSelectedIndex(), 3);
    EXPECT_EQ(group->GetButton(3)->GetPos().y, 20);
    EXPECT_EQ(group->GetRect().top, 20);
    EXPECT_EQ(group->GetRect().bottom, 76);
}

TEST_F(Selection, SliderPlacesBlocksAndKnobByValue) {
    builder.SetImageGroup(u"Menu");
    NaviSliderBar slider;
    slider.SetName(u"Volume");
    slider.SetPos(10, 240);
    slider.SetTransparent(false);
    slider.LoadImages(&builder);
    struct Case {
        int value;
        int blocks;
        int knobX;
    };
    // Blocks at 32 + 19k, y 267; the knob at 27 + 19n, or 111 for all five.
    for (const Case& c : {Case{-1, 0, 27}, Case{100, 5, 111}, Case{80, 4, 103}, Case{250, 5, 111},
                          Case{19, 0, 27}}) {
        SCOPED_TRACE(c.value);
        NaviCommand cmd = Command(u"DIALOG", u"", kCmdSliderValue, c.value);
        if (c.value != -1) slider.ProcessCommand(cmd);
        Canvas canvas(240, 320);
        slider.Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(10, 240), kGrey);
        // The bar covers x 10..105; the fifth block lies past it, on the white.
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(canvas.At(32 + 19 * k + 1, 268), k < c.blocks ? kBlue : (k < 4 ? kGrey : kWhite));
        EXPECT_EQ(canvas.At(c.knobX, 263), kGreen);
        EXPECT_EQ(canvas.At(c.knobX + 1, 264), kGreen);
    }
    NaviCommand zero = Command(u"DIALOG", u"", kCmdSliderValue, 0);
    slider.ProcessCommand(zero);
    EXPECT_TRUE(slider.IsDisabled());
    Canvas canvas(240, 320);
    slider.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 240), RGB(40, 40, 40));
    NaviCommand enable = Command(u"X", u"", kCmdSliderEnable);
    slider.ProcessCommand(enable);
    EXPECT_FALSE(slider.IsDisabled());
}

TEST_F(Selection, PushButtonReportsHidesAndPassesOthersOn) {
    builder.SetImageGroup(u"Menu");
    Events events;
    std::unique_ptr<NaviButton> ok(builder.CreateButton(u"OK", true, true, true, false, 10, 10, 20, 10, &events));
    ok->OnPenDown();
    Canvas canvas(60, 40);
    ok->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 10), kGreen); // the pressed image, once
    canvas.Clear();
    ok->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    ok->OnPenUp();
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].target, CString(u"OK"));
    EXPECT_EQ(events.got[0].id, kCmdTapped);

    NaviCommand other = Command(u"Somewhere", u"Other", kCmdDisable, 1);
    ok->ProcessCommand(other);
    EXPECT_TRUE(ok->IsVisible());
    EXPECT_EQ(events.got.size(), 2u);
    NaviCommand broadcast = Command(u"DIALOG", u"Other", kCmdDisable, 1);
    ok->ProcessCommand(broadcast);
    EXPECT_EQ(events.got.size(), 2u);
    NaviCommand hide = Command(u"DIALOG", u"OK", kCmdDisable, 1);
    ok->ProcessCommand(hide);
    EXPECT_FALSE(ok->IsVisible());
    EXPECT_EQ(events.got.size(), 2u);

    // Without a press image the pressed button is drawn one pixel lower and to the right.
    std::unique_ptr<NaviButton> plain(builder.CreateButton(u"Plain", true, true, false, false, 10, 10, 20, 10, nullptr));
    plain->OnPenDown();
    canvas.Clear();
    plain->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 10), kWhite);
    EXPECT_EQ(canvas.At(11, 11), kRed);
}

TEST_F(Selection, CheckButtonTextOnlyWidensOnceAndFallsBackWithoutCheckImage) {
    NaviCheckButton text;
    text.SetName(u"AB");
    text.SetSize(40, 20);
    text.SetPos(10, 10);
    text.LoadImages(&builder); // no "Configure\AB": a text button
    Canvas canvas(100, 60);
    text.Draw(&canvas.cdc);
    // Widened by (12 + 4) / 2 on each side.
    EXPECT_TRUE(SameRect(text.GetRect(), RECT{2, 10, 58, 30}));
    text.SetText(u"ABCDEFGH");
    text.Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(text.GetRect(), RECT{2, 10, 58, 30}));

    // With the check group's images; no "_Check" image: checked still shows the normal image.
    builder.SetCheckGroup(u"Radio");
    std::unique_ptr<NaviCheckButton> image(
        builder.CreateCheckButton(u"키", true, true, true, 20, 20, 0, 0, true, true, nullptr, true, u"가"));
    EXPECT_TRUE(SameRect(image->GetRect(), RECT{20, 20, 36, 36}));
    image->SetTransparent(false);
    NaviCommand check = Command(u"DIALOG", u"키", kCmdCheck);
    image->ProcessCommand(check);
    EXPECT_TRUE(image->IsChecked());
    canvas.Clear();
    image->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(20, 20), kBlue);
    // The text: its grey shadow one pixel right of the black text, centred in the image.
    bool shadow = false, ink = false;
    for (int y = 20; y < 36; ++y)
        for (int x = 20; x < 36; ++x) {
            shadow = shadow || canvas.At(x, y) == RGB(0x66, 0x66, 0x66);
            ink = ink || canvas.At(x, y) == RGB(0, 0, 0);
        }
    EXPECT_TRUE(shadow);
    EXPECT_TRUE(ink);
    NaviCommand uncheck = Command(u"DIALOG", u"키", kCmdUncheck);
    image->ProcessCommand(uncheck);
    EXPECT_FALSE(image->IsChecked());
    NaviCommand hide = Command(u"DIALOG", u"키", kCmdHide);
    image->ProcessCommand(hide);
    EXPECT_FALSE(image->IsVisible());
}

TEST_F(Selection, CheckButtonOwnFontMovesItsTextDown) {
    builder.SetCheckGroup(u"Radio");
    auto draw = [&](int fontFlag, int textOffset, Canvas& canvas) {
        std::unique_ptr<NaviCheckButton> button(
            builder.CreateCheckButton(u"키", true, true, true, 20, 20, 0, 0, true, true, nullptr, false, u"A"));
        button->SetTransparent(false);
        button->SetColors(fontFlag, textOffset, RGB(255, 0, 0), 10);
        button->Draw(&canvas.cdc);
    };
    // The text in the own colour, textOffset lower; with fontFlag -1 the context's (black) colour.
    Canvas own(60, 60), plain(60, 60);
    draw(0, 4, own);
    draw(-1, 4, plain);
    auto rows = [](const Canvas& c, COLORREF colour) {
        int top = c.height, bottom = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (c.At(x, y) == colour) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        return std::pair{top, bottom};
    };
    const auto [ownTop, ownBottom] = rows(own, RGB(255, 0, 0));
    const auto [plainTop, plainBottom] = rows(plain, RGB(0, 0, 0));
    ASSERT_LT(ownTop, ownBottom);
    ASSERT_LT(plainTop, plainBottom);
    EXPECT_EQ(ownTop, plainTop + 4);
    EXPECT_EQ(rows(plain, RGB(255, 0, 0)).second, 0);
}

TEST_F(Selection, ComboBoxLayoutPopupAndHandle) {
    Events events;
    auto* combo = new NaviComboBox();
    combo->SetName(u"경로");
    combo->SetPos(10, 10);
    combo->SetListener(&events);
    combo->LoadImages(&builder);
    for (const char16_t* item : {u"AB", u"C", u"D", u"EF", u"GH"}) combo->AddItem(item);
    combo->Select(5);
    combo->Select(-1);
    EXPECT_EQ(combo->GetSelected(), -1);
    combo->Select(1);
    EXPECT_EQ(combo->GetSelected(), 1);

    Canvas canvas(100, 60);
    combo->Draw(&canvas.cdc);
    // Widest item 12 + right 5 + left 5 + 6 = 28 wide, 23 high; tiles at 5, 9, 13, 17, 21, the
    // right piece after them at 25.
    EXPECT_TRUE(SameRect(combo->GetRect(), RECT{10, 10, 38, 33}));
    EXPECT_EQ(combo->GetTextRect().left, 10 + 8);
    EXPECT_EQ(combo->GetTextRect().top, 10 + 6);
    EXPECT_EQ(canvas.At(14, 12), kRed);
    EXPECT_EQ(canvas.At(15, 12), kGreen);
    EXPECT_EQ(canvas.At(34, 12), kGreen);
    EXPECT_EQ(canvas.At(35, 12), kBlue);
    EXPECT_EQ(canvas.At(39, 12), kBlue);
    bool text = false;
    for (int y = 16; y < 27; ++y)
        for (int x = 12; x < 33; ++x) text = text || canvas.At(x, y) == RGB(0, 0, 0);
    EXPECT_TRUE(text);

    // -2: no text, no taps, until -1.
    NaviCommand off = Command(u"DIALOG", u"경로", kCmdSelect, -2);
    combo->ProcessCommand(off);
    EXPECT_EQ(combo->HitTest(20, 20), 0);
    canvas.Clear();
    combo->Draw(&canvas.cdc);
    for (int y = 16; y < 27; ++y)
        for (int x = 12; x < 33; ++x) ASSERT_NE(canvas.At(x, y), RGB(0, 0, 0));
    NaviCommand on = Command(u"DIALOG", u"경로", kCmdSelect, -1);
    combo->ProcessCommand(on);
    EXPECT_EQ(combo->HitTest(20, 20), 1);
    events.got.clear();

    // The tap asks for the popup with a handle that names this combo.
    combo->OnPenDown();
    combo->OnPenUp();
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].id, kCmdComboTapped);
    EXPECT_EQ(events.got[0].target, CString(u"경로"));
    EXPECT_EQ(events.got[0].text, CString(u"경로"));
    const auto handle = static_cast<std::uint32_t>(events.got[0].param1);
    EXPECT_EQ(NaviComboBox::FromHandle(handle), combo);
    events.got.clear();

    // The popup opened: one row per item, then the preselection.
    NaviCommand opened = Command(u"DIALOG", u"", kCmdPopupOpened);
    combo->ProcessEvent(opened);
    ASSERT_EQ(events.got.size(), 6u);
    const char16_t* items[] = {u"AB", u"C", u"D", u"EF", u"GH"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(events.got[i].id, kCmdAddRow);
        EXPECT_EQ(events.got[i].control, CString(u"경로그룹"));
        EXPECT_EQ(events.got[i].text, CString(items[i]));
    }
    EXPECT_EQ(events.got[5].id, kCmdSelect);
    EXPECT_EQ(events.got[5].param1, 1);
    events.got.clear();

    // Row 3 chosen: done, then the choice.
    NaviCommand chosen = Command(u"경로그룹", u"", kCmdTapped, 3, u"EF");
    combo->ProcessEvent(chosen);
    ASSERT_EQ(events.got.size(), 2u);
    EXPECT_EQ(events.got[0].id, kCmdComboDone);
    EXPECT_EQ(events.got[1].id, kCmdTapped);
    EXPECT_EQ(events.got[1].target, CString(u"경로"));
    EXPECT_EQ(events.got[1].text, CString(u"EF"));
    EXPECT_EQ(events.got[1].param1, 3);
    EXPECT_EQ(combo->GetSelected(), 3);
    events.got.clear();
    NaviCommand next = Command(u"다음", u"", kCmdTapped);
    combo->ProcessEvent(next);
    NaviCommand close = Command(u"Close", u"", kCmdTapped);
    combo->ProcessEvent(close);
    ASSERT_EQ(events.got.size(), 2u);
    EXPECT_EQ(events.got[0].id, kCmdPageList);
    EXPECT_EQ(events.got[0].param1, 1);
    EXPECT_EQ(events.got[1].id, kCmdComboDone);

    delete combo;
    EXPECT_EQ(NaviComboBox::FromHandle(handle), nullptr);
}

TEST_F(Selection, ComboBoxWithoutImagesStillDrawsAndEnds) {
    NaviRcBuilder bare; // no archive opened
    NaviComboBox combo;
    combo.SetName(u"빈");
    combo.LoadImages(&bare);
    combo.AddItem(u"A");
    combo.Select(0);
    Canvas canvas(60, 40);
    combo.Draw(&canvas.cdc);
    // No pieces: the item's width and the 6-pixel margin, and a tap of the middle still lands.
    EXPECT_EQ(combo.GetRect().right, 6 + 6);
}

TEST_F(Selection, TabStripCutsItsWidthAndTheLastTabTakesTheRest) {
    builder.SetTabGroup(u"Tab");
    NaviTabCtrl tabs;
    tabs.SetName(u"Tabs");
    EXPECT_EQ(tabs.HitTest(10, 10), 0); // no tabs yet
    const CString three[] = {u"A", u"B", u"C"};
    const CString five[] = {u"A", u"B", u"C", u"D", u"E"};
    EXPECT_FALSE(tabs.SetTabs(five, 5));
    EXPECT_FALSE(tabs.SetTabs(five, 0));
    ASSERT_TRUE(tabs.SetTabs(three, 3));
    tabs.SetSize(150, 34);
    tabs.SetPos(0, 0);
    tabs.SetTransparent(false);
    tabs.LoadImages(&builder);
    for (auto [x, tab] : {std::pair{0, 0}, {49, 0}, {50, 1}, {99, 1}, {100, 2}, {149, 2}}) {
        EXPECT_EQ(tabs.HitTest(x, 5), 1);
        EXPECT_EQ(tabs.GetSelected(), tab) << x;
    }
    EXPECT_EQ(tabs.HitTest(150, 5), 0);
    tabs.SetSize(232, 34);
    tabs.SetPos(4, 0);
    EXPECT_EQ(tabs.HitTest(4 + 231, 5), 1);
    EXPECT_EQ(tabs.GetSelected(), 2);
    EXPECT_EQ(tabs.HitTest(4 + 153, 5), 1);
    EXPECT_EQ(tabs.GetSelected(), 1);

    Events events;
    tabs.SetListener(&events);
    tabs.OnPenDown();
    tabs.OnPenUp();
    ASSERT_EQ(events.got.size(), 1u);
    EXPECT_EQ(events.got[0].target, CString(u"Tabs"));
    EXPECT_EQ(events.got[0].text, CString(u"B"));
    EXPECT_EQ(events.got[0].param1, 1);

    NaviCommand select = Command(u"DIALOG", u"Tabs", kCmdSelect, 0);
    tabs.ProcessCommand(select);
    Canvas canvas(240, 40);
    tabs.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    tabs.SelectTab(1);
    tabs.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(10, 10), kGreen);

    const CString four[] = {u"A", u"B", u"C", u"D"};
    ASSERT_TRUE(tabs.SetTabs(four, 4));
    EXPECT_EQ(tabs.GetSelected(), 0);
    tabs.SelectTab(3);
    tabs.SelectTab(4);
    EXPECT_EQ(tabs.GetSelected(), 3);
    EXPECT_EQ(tabs.GetSelectedName(), CString(u"D"));
}
