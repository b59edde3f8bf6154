#include "skinui/controls/NaviSliderBar.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

#include <algorithm>

namespace {

constexpr int kBlockX = 32;
constexpr int kBlockY = 267;
constexpr int kBlockStep = 19;
constexpr int kKnobX = 27;
constexpr int kKnobY = 263;
constexpr int kKnobFullX = 111; // the knob's place when all five blocks show
constexpr int kMaxBlocks = 5;

NaviBitmap* Load(NaviRcBuilder* builder, const CString& base, const char16_t* suffix) {
    CString name;
    name.Format(u"%s\\%s%s", builder->GetImageGroup().GetString(), base.GetString(), suffix);
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

} // namespace

NaviSliderBar::NaviSliderBar() {
    SetSize(96, 42);
}

NaviSliderBar::~NaviSliderBar() {
    delete m_disableImage;
    delete m_knobImage;
    delete m_levelImage;
}

int NaviSliderBar::BlockCount(int value) {
    return std::clamp(value / 20, 0, kMaxBlocks);
}

int NaviSliderBar::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviSliderBar::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    SetImage(Load(builder, m_name, u""));
    delete m_disableImage;
    m_disableImage = Load(builder, m_name, u"_Disable");
    delete m_knobImage;
    m_knobImage = Load(builder, m_name, u"_SliderBtn");
    delete m_levelImage;
    m_levelImage = Load(builder, m_name, u"_SliderImg");
}

void NaviSliderBar::Draw(CDC* dc) {
    if (m_disabled) {
        if (m_disableImage) DrawImage(dc, m_x, m_y, m_disableImage);
        return;
    }
    DrawImage(dc, m_x, m_y, m_image);
    if (!m_levelImage) return;
    const int n = BlockCount(m_value);
    // DrawImage falls back on the bar image when given none, so every image is checked first.
    for (int k = 0; k < n; ++k) DrawImage(dc, kBlockX + kBlockStep * k, kBlockY, m_levelImage);
    if (m_knobImage) DrawImage(dc, n == kMaxBlocks ? kKnobFullX : kKnobX + kBlockStep * n, kKnobY, m_knobImage);
}

void NaviSliderBar::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdSliderDisable: m_disabled = true; break;
    case kCmdSliderEnable: m_disabled = false; break;
    case kCmdSliderValue:
        m_disabled = cmd.param1 == 0;
        m_value = cmd.param1;
        break;
    default: break;
    }
}
