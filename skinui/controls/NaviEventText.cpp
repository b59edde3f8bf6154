#include "skinui/controls/NaviEventText.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

namespace {

constexpr int kTile = 7;
constexpr int kLeftPlacedRight = 174; // screenWidth - this is the margin that puts the right cap at 162
constexpr int kBubbleHeight = 25;

} // namespace

NaviEventText::NaviEventText() = default;

NaviEventText::~NaviEventText() {
    for (NaviBitmap* image : m_images) delete image;
}

void NaviEventText::LoadImages(NaviRcBuilder* builder) {
    if (builder) {
        m_screenHeight = builder->GetScreenHeight();
        m_screenWidth = builder->GetScreenWidth();
    }
    CString name;
    for (int i = 0; i < 6; ++i) {
        name.Format(u"%s\\%d", m_name.GetString(), i);
        ReloadSkinImage(m_images[i], builder, name);
    }
}

void NaviEventText::SetText(const CString& text, int kind) {
    m_kind = kind;
    SetText(text);
}

void NaviEventText::SetText(const CString& text) {
    if (m_holdCount == 0) m_text.Format(u"%s", text.GetString());
}

void NaviEventText::UpdateRaised() {
    if (m_simulating) m_raised = false;
    else if (m_followCar) m_raised = m_menuMode == kCmdMenuBasic && m_routeState == kCmdRouteIdle;
    else m_raised = !(m_menuMode == kCmdMenuBasic && m_routeState != kCmdRouteIdle);
}

void NaviEventText::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdFollowCar:
        m_followCar = true;
        m_routeState = kCmdRouteGuiding;
        break;
    case kCmdFollowOff: m_followCar = false; break;
    case kCmdSimulationOn: m_simulating = true; break;
    case kCmdSimulationOff: m_simulating = false; break;
    case kCmdMenuBasic:
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_menuMode = cmd.id; break;
    case kCmdRouteIdle:
    case kCmdRouteGuiding: m_routeState = cmd.id; break;
    case kCmdEventNormal:
    case kCmdEventUpper:
    case kCmdEventHighlight:
        if (m_holdCount == 0) m_text = cmd.text;
        m_kind = cmd.id;
        break;
    case kCmdScreenSize:
        m_screenHeight = cmd.param2;
        m_screenWidth = cmd.param1;
        break;
    case kCmdEventHold:
        m_holdCount = 2;
        m_text = cmd.text;
        break;
    default: break;
    }
    UpdateRaised();
}

void NaviEventText::Draw(CDC* dc) {
    if (m_holdCount > 0) --m_holdCount;
    if (!dc || m_text.IsEmpty()) return;
    const HDC hdc = dc->GetSafeHdc();
    CFont font;
    font.CreateFont(-m_fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(hdc, font.GetSafeHandle());
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const bool highlighted = m_kind == kCmdEventHighlight;
    const COLORREF oldColor = dc->SetTextColor(highlighted ? RGB(255, 255, 255) : RGB(0, 0, 0));

    RECT measured{0, 0, 0, 0};
    dc->DrawText(m_text, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int textWidth = measured.right - measured.left;
    const int margin = m_leftPlaced ? m_screenWidth - kLeftPlacedRight : 2;
    const int y = m_screenHeight - (m_raised ? 67 : 27);
    const int textRight = m_screenWidth - margin - 10;
    RECT text{textRight - textWidth, y + 5, textRight, y + 5 + (measured.bottom - measured.top)};

    NaviBitmap* const* set = m_images + (highlighted ? 3 : 0);
    const int n = textWidth / kTile;
    int x = m_screenWidth - 12 - margin;
    // One press look for the whole bubble.
    const bool pressed = m_pressed;
    auto put = [&](NaviBitmap* image, int at) {
        m_pressed = pressed;
        if (image) DrawImage(dc, at, y, image);
    };
    put(set[2], x);
    for (int i = 0; i < n; ++i) {
        x -= kTile;
        put(set[1], x);
    }
    put(set[1], x - 4);
    put(set[0], x - 14);
    m_pressed = false;

    dc->DrawText(m_text, &text, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    OffsetRect(&text, -1, 0);
    dc->DrawText(m_text, &text, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);

    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    SelectObject(hdc, oldFont);
    m_rect = RECT{x - 14, y, m_screenWidth - 12 - margin, y + kBubbleHeight};
}

int NaviEventText::HitTest(int x, int y) {
    if (!PtInRect(&m_rect, POINT{x, y})) return 0;
    return m_kind == kCmdEventHighlight ? 2 : 1;
}
