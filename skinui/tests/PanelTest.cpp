// Controls and panels: drawing the pressed state, the pen walk, command routing, broadcasts, the
// frame strip and the click.
#include "SkinTestSupport.h"

#include "platform/sound/Sound.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"

#include <memory>
#include <string>

namespace {

// A control that records what reaches it.
class Probe : public NaviControl {
public:
    Probe(const char16_t* name, RECT rect, bool feedback = true) {
        SetName(name);
        SetSize(rect.right - rect.left, rect.bottom - rect.top);
        SetPos(rect.left, rect.top);
        SetPressFeedback(feedback);
    }
    void OnPenDown() override { log += u"down:" + m_name.Str() + u";"; }
    void OnPenUp() override {
        log += u"up:" + m_name.Str() + u";";
        NaviCommand cmd;
        cmd.target = m_name;
        cmd.id = kCmdTapped;
        ProcessCommand(cmd);
    }
    int HitTest(int x, int y) override {
        ++hitTests;
        return PtInRect(&m_rect, POINT{x, y});
    }
    void LoadImages(NaviRcBuilder*) override {}
    void Draw(CDC*) override { ++draws; }
    void ProcessCommand(NaviCommand& cmd) override {
        if (cmd.target == kTargetDialog) {
            ++broadcasts;
            return;
        }
        if (m_listener) m_listener->ProcessEvent(cmd);
    }
    static std::u16string log;
    int hitTests = 0;
    int draws = 0;
    int broadcasts = 0;
};
std::u16string Probe::log;

class Recorder : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        received.push_back(cmd);
        if (onEvent) onEvent(cmd);
    }
    std::vector<NaviCommand> received;
    std::function<void(NaviCommand&)> onEvent;
};

Bytes Wav(int samples, std::uint32_t riffLie = 0) {
    Bytes out{'R', 'I', 'F', 'F'};
    Put32(out, riffLie ? riffLie : 36 + samples * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 22050);
    Put32(out, 44100);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, samples * 2);
    for (int i = 0; i < samples; ++i) Put16(out, (i % 20) * 300);
    return out;
}

} // namespace

TEST(ControlDraw, PressedStateShowsOnceAndMissingImageDrawsNothing) {
    Probe probe(u"p", RECT{0, 0, 4, 4});
    Canvas canvas(20, 20);
    probe.SetPressed(true);
    EXPECT_EQ(probe.DrawImage(&canvas.cdc, 2, 2), 0);
    EXPECT_TRUE(probe.IsPressed()); // untouched without an image

    probe.SetImage(ImageOf(SolidPng(3, 3, RGB(255, 0, 0))));
    probe.SetTransparent(false);
    probe.SetPressed(true);
    EXPECT_EQ(probe.DrawImage(&canvas.cdc, 2, 2), 1);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{3, 3, 6, 6})); // one pixel right and down
    EXPECT_FALSE(probe.IsPressed());
    canvas.Clear();
    probe.DrawImage(&canvas.cdc, 2, 2);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{2, 2, 5, 5}));

    probe.SetPressedImage(ImageOf(SolidPng(5, 5, RGB(0, 0, 255))));
    probe.SetPressed(true);
    canvas.Clear();
    probe.DrawImage(canvas.dc, 2, 2, nullptr);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{2, 2, 7, 7}));
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 0, 255));
    canvas.Clear();
    probe.DrawImage(canvas.dc, 2, 2, nullptr);
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 0));
}

TEST(ControlGeometry, PositionMakesTheRectangleOfTheSizeHeldThen) {
    Probe probe(u"p", RECT{0, 0, 0, 0});
    probe.SetSize(10, 5);
    probe.SetPos(3, 4);
    EXPECT_TRUE(SameRect(probe.GetRect(), RECT{3, 4, 13, 9}));
    probe.SetSize(20, 20); // the rectangle follows only the next move
    EXPECT_TRUE(SameRect(probe.GetRect(), RECT{3, 4, 13, 9}));
    probe.MoveTo(0, 1);
    EXPECT_TRUE(SameRect(probe.GetRect(), RECT{0, 1, 20, 21}));
    EXPECT_EQ(probe.GetPos().y, 1);
}

TEST(PanelPen, TopmostQualifyingChildTakesThePen) {
    Probe::log.clear();
    NaviPanel panel;
    auto* below = new Probe(u"below", RECT{0, 0, 50, 50});
    auto* above = new Probe(u"above", RECT{20, 20, 70, 70});
    panel.AddChild(below);
    panel.AddChild(above);
    panel.DispatchPenDown(30, 30);
    panel.DispatchPenUp(30, 30);
    EXPECT_EQ(Probe::log, u"down:above;up:above;");

    struct Case {
        const char* what;
        bool visible, enabled, feedback;
        const char16_t* expected;
        bool aboveHitTested;
    } cases[] = {
        {"hidden", false, true, true, u"down:below;up:below;", false},
        {"disabled", true, false, true, u"down:below;up:below;", false},
        {"no feedback", true, true, false, u"down:below;up:above;", true},
    };
    for (const Case& c : cases) {
        Probe::log.clear();
        above->SetVisible(c.visible);
        above->SetEnabled(c.enabled);
        above->SetPressFeedback(c.feedback);
        above->hitTests = 0;
        panel.DispatchPenDown(30, 30);
        // The flags are tested before the hit test, which has side effects in some controls.
        EXPECT_EQ(above->hitTests, 0) << c.what;
        panel.DispatchPenUp(30, 30);
        EXPECT_EQ(Probe::log, c.expected) << c.what;
        EXPECT_EQ(above->hitTests > 0, c.aboveHitTested) << c.what;
    }
    Probe::log.clear();
    panel.DispatchPenDown(200, 200);
    panel.DispatchPenUp(200, 200);
    EXPECT_TRUE(Probe::log.empty());
}

TEST(PanelCommands, BroadcastsReachEveryChildAndTheRestGoesUp) {
    NaviPanel panel;
    auto* a = new Probe(u"a", RECT{0, 0, 5, 5});
    auto* b = new Probe(u"b", RECT{0, 0, 5, 5});
    panel.AddChild(a);
    panel.AddChild(b);
    for (int param : {-1, 0}) {
        b->SetVisible(true);
        NaviCommand hide;
        hide.target = kTargetDialog;
        hide.control = u"b";
        hide.id = kCmdShowControl;
        hide.param1 = param;
        panel.ProcessCommand(hide);
        EXPECT_FALSE(b->IsVisible()) << param;
        EXPECT_TRUE(a->IsVisible());
    }
    NaviCommand show;
    show.target = kTargetDialog;
    show.control = u"b";
    show.id = kCmdShowControl;
    show.param1 = 1;
    panel.ProcessCommand(show);
    EXPECT_TRUE(b->IsVisible());
    EXPECT_EQ(a->broadcasts, 3);
    EXPECT_EQ(b->broadcasts, 3);

    // Without a listener a child's event is dropped; with one it goes up unchanged.
    a->SetListener(&panel);
    a->OnPenUp();
    Recorder owner;
    panel.SetListener(&owner);
    a->OnPenUp();
    ASSERT_EQ(owner.received.size(), 1u);
    EXPECT_EQ(owner.received[0].target, CString(u"a"));
    EXPECT_EQ(owner.received[0].id, kCmdTapped);
    EXPECT_EQ(owner.received[0].param1, -1);

    // A panel never listens to itself.
    panel.SetListener(&panel);
    EXPECT_EQ(panel.GetListener(), &owner);
}

TEST(PanelCommands, DefaultRecordMatchesNoIdAndCopiesAreIndependent) {
    NaviCommand cmd;
    EXPECT_EQ(cmd.id, -1);
    EXPECT_EQ(cmd.param1, -1);
    EXPECT_EQ(cmd.param2, -1);
    EXPECT_TRUE(cmd.target.IsEmpty() && cmd.text.IsEmpty() && cmd.control.IsEmpty());
    cmd.target = u"x";
    NaviCommand copy(cmd);
    copy.target = u"y";
    EXPECT_EQ(cmd.target, CString(u"x"));
}

TEST(PanelCommands, PanelReleasedByItsListenerDuringATapGoesAfterTheTap) {
    auto* panel = new NaviPanel();
    auto* a = new Probe(u"a", RECT{0, 0, 10, 10});
    a->SetListener(panel);
    panel->AddChild(a);
    Recorder owner;
    bool released = false;
    owner.onEvent = [&](NaviCommand&) {
        panel->Release();
        released = true;
        // Still whole while its dispatch runs.
        EXPECT_EQ(panel->GetChildren().size(), 1u);
    };
    panel->SetListener(&owner);
    panel->DispatchPenUp(5, 5);
    EXPECT_TRUE(released);
    // Under AddressSanitizer a use after the release or a leak would be reported.
}

TEST(PanelDraw, StripRepeatsEveryFourPixelsAndFrameImagesSitAtTheirPlaces) {
    TempRoot root;
    root.MakeFile("res/ResData.bin", [] {
        const Bytes b = ArchiveBytes({{"W\\Bg", SolidPng(30, 1, RGB(0, 200, 0))},
                                      {"W\\Top", SolidPng(30, 2, RGB(200, 0, 0))},
                                      {"W\\Left", SolidPng(1, 5, RGB(0, 0, 200))}},
                                     3);
        return std::string(b.begin(), b.end());
    }());
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    builder.SetImageGroup(u"W");
    NaviPanel panel;
    panel.SetTransparent(false);
    panel.SetSize(30, 10);
    panel.SetPos(0, 0);
    panel.SetFrameLayout(0, 20, 40, 3, 0, 0, 0, 0);
    panel.LoadImages(&builder);
    auto* child = new Probe(u"c", RECT{0, 0, 1, 1});
    auto* hidden = new Probe(u"h", RECT{0, 0, 1, 1});
    hidden->SetVisible(false);
    panel.AddChild(child);
    panel.AddChild(hidden);
    Canvas canvas(50, 40);
    panel.Draw(&canvas.cdc);
    // Height 10: two strips, at y 20 and 24 (the top image then covers rows 20 and 21).
    EXPECT_EQ(canvas.At(5, 24), RGB(0, 200, 0));
    EXPECT_EQ(canvas.At(5, 23), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(5, 25), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(5, 20), RGB(200, 0, 0));
    EXPECT_EQ(canvas.At(40, 3), RGB(0, 0, 200));
    EXPECT_EQ(child->draws, 1);
    EXPECT_EQ(hidden->draws, 0);
    panel.DrawChild(&canvas.cdc, u"h");
    EXPECT_EQ(hidden->draws, 1);
}

class ClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        SoundReset();
        recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(recorder);
    }
    void TearDown() override { SoundSetOutput(nullptr); }
    // A panel with one tappable child, loaded from "\res" with click sounds as given.
    int Taps(bool clickOn) {
        NaviRcBuilder builder;
        builder.OpenSkin(u"\\res");
        NaviPanel panel;
        panel.SetClickSound(clickOn);
        panel.LoadImages(&builder);
        auto* child = new Probe(u"c", RECT{0, 0, 10, 10});
        child->SetListener(&panel);
        panel.AddChild(child);
        Recorder owner;
        panel.SetListener(&owner);
        panel.DispatchPenUp(5, 5);
        EXPECT_EQ(owner.received.size(), 1u);
        return static_cast<int>(recorder->Clips().size());
    }
    TempRoot root;
    std::shared_ptr<SoundRecorder> recorder;
};

TEST_F(ClickTest, TapPlaysTheClickFileIntact) {
    const Bytes wav = Wav(882);
    root.MakeFile("res/click.wav", std::string(wav.begin(), wav.end()));
    EXPECT_EQ(Taps(true), 1);
    EXPECT_EQ(SoundHash(recorder->Clips()[0].image), SoundHash(std::vector<BYTE>(wav.begin(), wav.end())));
    recorder->Clear();
    EXPECT_EQ(Taps(false), 0);
}

TEST_F(ClickTest, MissingLyingOrOversizedClickIsSilent) {
    EXPECT_EQ(Taps(true), 0);
    const Bytes lying = Wav(100, 5000000);
    root.MakeFile("res/click.wav", std::string(lying.begin(), lying.end()));
    EXPECT_EQ(Taps(true), 0);
    const Bytes huge = Wav(600000);
    root.MakeFile("res/click.wav", std::string(huge.begin(), huge.end()));
    EXPECT_EQ(Taps(true), 0);
    root.MakeFile("res/click.wav", "RIFF");
    EXPECT_EQ(Taps(true), 0);
}
