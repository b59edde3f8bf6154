#include "commondlg/NaviMessageBox.h"

#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/main/NaviMenuPages.h"

namespace {

constexpr UINT kBoxTemplate = 4700;
constexpr UINT kAskHost = WM_APP + 0x31;
// The box: a framed panel across the screen, the text from its top, the buttons on the low row.
constexpr RECT kBoxRect{8, 60, 232, 292};
constexpr int kTextLeft = 20;
constexpr int kTextTop = 76;
constexpr int kLineHeight = 18;
constexpr int kTextWidth = 200;
constexpr int kMaxLines = 9; // down to the button row
constexpr COLORREF kBoxColour = RGB(232, 236, 244);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

struct BoxState {
    NaviRcBuilder* builder = nullptr;
    CWnd* parent = nullptr;
    bool sound = true;
};
BoxState g_box;

// Widths of the skin's 13-pixel font: Hangul and other wide characters take a full em, the rest
// about half of one.
int CharWidth(char16_t c) {
    return c < 0x80 ? 7 : 13;
}

int Answer(int answer, int type) {
    if (type != NaviMessageBox::kQuestion) return NaviMessageBox::kYes;
    if (answer == IDYES || answer == IDOK || answer == NaviMessageBox::kYes) return NaviMessageBox::kYes;
    return NaviMessageBox::kNo;
}

class MessageBoxDialog : public NaviDialog, public NaviListener {
public:
    MessageBoxDialog(const CString& text, int type) : NaviDialog(kBoxTemplate, g_box.parent, g_box.parent),
                                                      m_text(text), m_type(type) {
        SetRcBuilder(g_box.builder);
        SetPanelName(u"메시지박스");
    }

    BOOL OnInitDialog() override {
        NaviDialog::OnInitDialog();
        InitSkin(this);
        if (!m_panel) return TRUE;
        m_panel->SetClickSound(g_box.sound);
        // The buttons click as every skinned control does, unless the sound is switched off.
        m_panel->LoadClickSound(GetRcBuilder());
        m_panel->SetRect(kBoxRect);
        NaviRcBuilder* builder = GetRcBuilder();
        auto* back = builder->CreateLabel(u"메시지배경", kBoxRect.left, kBoxRect.top, kBoxRect.right - kBoxRect.left,
                                          kBoxRect.bottom - kBoxRect.top, kTextColour, kLabelNoBold, kAlignInBox,
                                          kBoxColour);
        back->SetBackColor(kBoxColour);
        back->SetFramed(true);
        back->SetText(u"");
        m_panel->AddChild(back);
        const std::vector<CString> lines = NaviMessageBox::BreakLines(m_text);
        for (std::size_t i = 0; i < lines.size() && i < static_cast<std::size_t>(kMaxLines); ++i) {
            auto* line = builder->CreateLabel(u"메시지", kTextLeft, kTextTop + static_cast<int>(i) * kLineHeight,
                                              kTextWidth, kLineHeight, kTextColour, kLabelNoBold, kAlignAtX,
                                              kBoxColour);
            line->SetBackColor(kBoxColour);
            line->SetText(lines[i]);
            m_panel->AddChild(line);
        }
        if (m_type == NaviMessageBox::kQuestion)
            BuildMessageButtons(builder, m_panel, m_panel, kMessageRowLow, u"예", u"아니요", nullptr, u"예", u"아니요",
                                nullptr);
        else
            BuildMessageButtons(builder, m_panel, m_panel, kMessageRowLow, u"확인", nullptr, nullptr, u"확인", nullptr,
                                nullptr);
        // Without the skin's button images the buttons still take taps: the row's own sizes.
        const int buttonWidth = m_type == NaviMessageBox::kQuestion ? 96 : 174;
        for (NaviControl* child : m_panel->GetChildren())
            if (child->GetSize().cx <= 0 && child->GetName() != CString(u"메시지") &&
                child->GetName() != CString(u"메시지배경"))
            {
                child->SetSize(buttonWidth, 27);
                child->SetPos(child->GetPos().x, child->GetPos().y);
            }
        MoveWindow(&kBoxRect);
        // The host answers once the box is on the screen.
        ::PostMessageW(GetSafeHwnd(), kAskHost, 0, 0);
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kAskHost) {
            Invalidate(FALSE);
            UpdateWindow();
            int answer = 0;
            const UINT type = m_type == NaviMessageBox::kQuestion ? kSkinnedQuestion : kSkinnedNotice;
            if (!WinAskMessageBoxHandler(GetSafeHwnd(), std::u16string(m_text.Str()), u"", type, &answer))
                answer = NaviMessageBox::kYes; // no host: the first button, as the window system's box does
            if (answer > 0) {
                Finish(Answer(answer, m_type), false);
            } else {
                m_byButtons = true;
            }
            return 0;
        }
        return NaviDialog::WindowProc(message, wParam, lParam);
    }

    void ProcessEvent(NaviCommand& cmd) override {
        if (cmd.target == CString(u"예") || cmd.target == CString(u"확인"))
            Finish(NaviMessageBox::kYes, m_byButtons);
        else if (cmd.target == CString(u"아니요"))
            Finish(NaviMessageBox::kNo, m_byButtons);
    }

    int Result() const { return m_result; }

private:
    void Finish(int answer, bool report) {
        if (m_result != 0) return;
        m_result = answer;
        if (report) WinReportMessageBoxAnswer(answer);
        EndDialog(answer);
    }

    CString m_text;
    int m_type;
    int m_result = 0;
    bool m_byButtons = false;
};

} // namespace

NaviMessageBox::NaviMessageBox(CWnd* parent) {
    g_box.parent = parent;
}

NaviMessageBox::~NaviMessageBox() {
    Destruct();
}

void NaviMessageBox::Initialize(NaviRcBuilder* builder) {
    g_box.builder = builder;
}

void NaviMessageBox::SetSoundEvent(bool on) {
    g_box.sound = on;
}

void NaviMessageBox::Destruct() {
    g_box = BoxState{};
}

std::vector<CString> NaviMessageBox::BreakLines(const CString& text) {
    std::vector<CString> lines;
    std::u16string line;
    int width = 0;
    const std::u16string all(text.Str());
    for (std::size_t i = 0; i <= all.size(); ++i) {
        const char16_t c = i < all.size() ? all[i] : u'\n';
        if (c == u'\r') continue;
        if (c == u'\n') {
            lines.emplace_back(line.c_str());
            line.clear();
            width = 0;
            continue;
        }
        const int w = CharWidth(c);
        if (width + w > kTextWidth && !line.empty()) {
            // Break at the last blank of the line when there is one, else between characters.
            const std::size_t blank = line.find_last_of(u' ');
            std::u16string rest;
            if (blank != std::u16string::npos && blank > 0) {
                rest = line.substr(blank + 1);
                line.resize(blank);
            }
            lines.emplace_back(line.c_str());
            line = rest;
            width = 0;
            for (char16_t r : line) width += CharWidth(r);
        }
        line += c;
        width += w;
    }
    return lines;
}

int NaviMessageBox::ShowMessage(const CString& text, int type) {
    if (type != kQuestion) type = kNotice;
    if (!g_box.builder) {
        // Not set up yet: the window system's own box.
        const HWND owner = g_box.parent ? g_box.parent->GetSafeHwnd() : nullptr;
        const int answer = MessageBoxW(owner, text.Str().c_str(), u"", type == kQuestion ? MB_YESNO : MB_OK);
        return Answer(answer, type);
    }
    static bool registered = false;
    if (!registered) {
        DialogTemplateInfo info;
        info.rect = kBoxRect;
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kBoxTemplate, info);
        registered = true;
    }
    MessageBoxDialog box(text, type);
    const INT_PTR result = box.DoModal();
    if (box.Result() != 0) return box.Result();
    return type == kQuestion && result != kYes ? kNo : kYes;
}
