// A skinned dialog under the headless host: the panel is painted where the builder put it, a tap
// reaches the dialog's listener with one click in the host's sound log, and Enter leaves the
// dialog open.
#include "SkinTestSupport.h"

#include "platform/host/HeadlessHost.h"
#include "platform/sound/Sound.h"
#include "platform/window/Afx.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"

#include <fstream>
#include <sstream>

namespace {

constexpr UINT kTemplate = 4901;
constexpr COLORREF kButtonColour = RGB(0, 90, 160);

// A button that fills its rectangle and reports taps.
class FilledButton : public NaviControl {
public:
    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {
        NaviCommand cmd;
        cmd.target = m_name;
        cmd.id = kCmdTapped;
        ProcessCommand(cmd);
    }
    int HitTest(int x, int y) override { return PtInRect(&m_rect, POINT{x, y}); }
    void LoadImages(NaviRcBuilder*) override {}
    void Draw(CDC* dc) override {
        HBRUSH brush = CreateSolidBrush(kButtonColour);
        FillRect(dc->GetSafeHdc(), &m_rect, brush);
        DeleteObject(brush);
    }
    void ProcessCommand(NaviCommand& cmd) override {
        if (cmd.target == kTargetDialog) return;
        if (m_listener) m_listener->ProcessEvent(cmd);
    }
};

class OneButtonBuilder : public NaviRcBuilder {
public:
    void BuildPanel(CWnd*, NaviPanel* root, CString) override {
        root->SetSize(240, 100);
        root->SetPos(0, 200);
        root->LoadImages(this);
        auto* button = new FilledButton();
        button->SetName(u"확인");
        button->SetSize(60, 40);
        button->SetPos(20, 220);
        button->SetPressFeedback(true);
        button->SetListener(root);
        root->AddChild(button);
    }
};

class Events : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override { received.push_back(cmd); }
    std::vector<NaviCommand> received;
};

} // namespace

TEST(HostedDialog, TapReachesTheListenerWithOneClickAndEnterKeepsTheDialog) {
    TempRoot root;
    Bytes wav{'R', 'I', 'F', 'F'};
    Put32(wav, 36 + 400);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, 1);
    Put32(wav, 22050);
    Put32(wav, 44100);
    Put16(wav, 2);
    Put16(wav, 16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    Put32(wav, 400);
    for (int i = 0; i < 200; ++i) Put16(wav, (i % 10) * 1000);
    root.MakeFile("res/click.wav", std::string(wav.begin(), wav.end()));
    root.MakeFile("run.script", "tap 50 240\nkey RETURN\nwait 20\nsnapshot shot\n");

    OneButtonBuilder builder;
    builder.OpenSkin(u"\\res");
    Events events;
    HostOptions options;
    options.script = root.Host("run.script");
    options.outDir = root.Host("out");
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;
    bool alive = false;
    const int code = host.Run([&] {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kTemplate, info);
        NaviDialog dialog(kTemplate, nullptr, nullptr);
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"시험");
        if (!dialog.Create(kTemplate, nullptr)) return 1;
        dialog.InitSkin(&events);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (dialog.PreTranslateMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        alive = IsWindow(dialog.GetSafeHwnd()) != 0;
        dialog.DestroyWindow();
        return 0;
    });
    ASSERT_FALSE(host.Failed()) << host.Failure();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(alive);
    ASSERT_EQ(events.received.size(), 1u);
    EXPECT_EQ(events.received[0].target, CString(u"확인"));
    EXPECT_EQ(events.received[0].id, kCmdTapped);

    std::ifstream log(root.Host("out/sounds.log"));
    std::stringstream text;
    text << log.rdbuf();
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", SoundHash(std::vector<BYTE>(wav.begin(), wav.end())));
    const std::string sounds = text.str();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), '\n'), 1) << sounds;
    EXPECT_NE(sounds.find(hash), std::string::npos) << sounds << " wants " << hash;

    GdiRgbaImage frame;
    ASSERT_TRUE(GdiLoadPng(root.Host("out/frames/shot.png"), frame, &error)) << error;
    auto at = [&](int x, int y) { return frame.pixels[static_cast<std::size_t>(y) * frame.width + x] & 0xFFFFFF; };
    EXPECT_EQ(at(50, 240), 0x00005AA0u); // the button, at its screen place
    EXPECT_EQ(at(10, 240), 0x00FFFFFFu); // the panel's own area, cleared white
}
