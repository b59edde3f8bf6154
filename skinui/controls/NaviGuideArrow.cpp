#include "skinui/controls/NaviGuideArrow.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviDigitPanel.h"
#include "skinui/controls/SkinImage.h"

#include <algorithm>

namespace {

constexpr int kImageCodes[] = {3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25,
                               27, 28, 31, 34, 37, 40, 42, 46, 48, 49, 52, 54, 55, 57};
constexpr double kNoArrowDistance = 2000.0;
constexpr int kTextY = 61;

} // namespace

NaviGuideArrow::NaviGuideArrow() {
    SetSize(62, 94);
}

NaviGuideArrow::~NaviGuideArrow() {
    for (int i = 0; i < kCodes; ++i) {
        delete m_images2D[i];
        delete m_images3D[i];
    }
    delete m_digits;
}

bool NaviGuideArrow::CodeHasImage(int code) {
    return std::find(std::begin(kImageCodes), std::end(kImageCodes), code) != std::end(kImageCodes);
}

int NaviGuideArrow::FoldCode(int code) {
    switch (code) {
    case 15: return 16;
    case 18: return 17;
    case 20: return 21;
    case 24: return 23;
    case 26: return 27;
    case 47: return 46;
    case 50: return 49;
    case 53: return 52;
    case 56: return 55;
    case 63: return 16;
    case 64: return 7;
    case 65: return 8;
    default: return code;
    }
}

void NaviGuideArrow::LoadImages(NaviRcBuilder* builder) {
    SetPos(176, (builder ? builder->GetScreenHeight() : 320) - 123);
    CString name;
    for (int code = 0; code < kCodes; ++code) {
        if (!CodeHasImage(code)) continue;
        name.Format(u"%s\\2D\\%d_G", m_name.GetString(), code);
        ReloadSkinImage(m_images2D[code], builder, name);
        name.Format(u"%s\\3D\\%d_3G", m_name.GetString(), code);
        ReloadSkinImage(m_images3D[code], builder, name);
    }
    delete m_digits;
    m_digits = new NaviDigitPanel();
    m_digits->SetName(u"Guide");
    m_digits->SetTransparent(true);
    m_digits->LoadImages(builder);
}

void NaviGuideArrow::SetDistances(double d1, double d2) {
    if (d1 >= 0) m_distance = d1;
    if (d2 >= 0) m_secondDistance = d2;
}

bool NaviGuideArrow::HasTurnImage() const {
    if (m_distance >= kNoArrowDistance) return false;
    if (m_turnCode < 0 || m_turnCode >= kCodes) return false;
    return m_turnCode < 59 || m_turnCode > 62;
}

CString NaviGuideArrow::DistanceText(double distance) {
    const int m = std::max(static_cast<int>(distance - 10), 0);
    CString text;
    if (m < 1000) text.Format(u"%d", std::max((static_cast<int>(distance) / 10) * 10 - 10, 0));
    else text.Format(u"%3.1f", m * 0.001);
    return text;
}

void NaviGuideArrow::Draw(CDC* dc) {
    if (!HasTurnImage()) return;
    m_turnCode = FoldCode(m_turnCode);
    NaviBitmap* image = m_images2D[m_turnCode];
    if (m_viewMode != 0 && m_viewMode != 1 && m_images3D[m_turnCode]) image = m_images3D[m_turnCode];
    if (!image) return;
    DrawImage(dc, m_x, m_y, image);
    const CString text = DistanceText(m_distance);
    const int offset = text.Find(u'.') >= 0 ? (m_width - 35) / 2 : (m_width - 15 * text.GetLength()) / 2;
    if (m_digits) m_digits->DrawTextLeft(dc, text, m_x + offset, m_y + kTextY);
}

int NaviGuideArrow::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviGuideArrow::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdScreenSize: SetPos(176, cmd.param2 - 123); break;
    case kCmdSimulationOff: m_turnCode = kNoTurn; break;
    case kCmdViewMode: m_viewMode = cmd.param1; break;
    default: break;
    }
}
