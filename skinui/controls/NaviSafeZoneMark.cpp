#include "skinui/controls/NaviSafeZoneMark.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

#include <algorithm>

namespace {

constexpr int kMinSpeed = 5;
constexpr int kRangeOrdinary = 780;
constexpr int kRangeHighway = 1100;
constexpr int kHighway = 1;
constexpr int kBlinkDistance = 100;
constexpr int kBlinkLimit = 5;
constexpr int kKindHiddenUnlessForced = 4;

} // namespace

NaviSafeZoneMark::NaviSafeZoneMark() {
    SetSize(55, 55);
}

NaviSafeZoneMark::~NaviSafeZoneMark() {
    for (NaviBitmap* image : m_limitImages) delete image;
    for (NaviBitmap* image : m_signImages) delete image;
}

void NaviSafeZoneMark::LoadImages(NaviRcBuilder* builder) {
    SetPos(182, 71);
    CString name;
    for (int k = 0; k < kLimitImages; ++k) {
        name.Format(u"%s\\%d", m_name.GetString(), 10 * k);
        ReloadSkinImage(m_limitImages[k], builder, name);
    }
    for (int n = 0; n < kSignImages; ++n) {
        name.Format(u"%s\\C%d", m_name.GetString(), n + 1);
        ReloadSkinImage(m_signImages[n], builder, name);
    }
}

void NaviSafeZoneMark::SetAlert(int first, int second, int value, int distance, int kind, int third, int fourth,
                                int fifth, int roadClass) {
    std::lock_guard<std::mutex> hold(m_lock);
    Alert& a = m_state.alert;
    if (first < 1 || second < 1) {
        a.distance = -1;
        return;
    }
    a.first = first;
    a.second = second;
    a.value = value;
    a.distance = distance;
    a.kind = kind;
    a.third = third;
    a.fourth = fourth;
    a.fifth = fifth;
    a.roadClass = roadClass;
    const bool close = (kind == 2 || kind == 3) && distance < kBlinkDistance;
    m_state.blinkLimit = close ? kBlinkLimit : 0;
    m_state.blinkCounter = -1;
}

void NaviSafeZoneMark::GetAlert(int* first, int* second, int* kind) const {
    std::lock_guard<std::mutex> hold(m_lock);
    if (first) *first = m_state.alert.first;
    if (second) *second = m_state.alert.second;
    if (kind) *kind = m_state.alert.kind;
}

void NaviSafeZoneMark::GetAlertAll(int* first, int* second, int* third, int* fourth, int* fifth, int* kind) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const Alert& a = m_state.alert;
    if (first) *first = a.first;
    if (second) *second = a.second;
    if (third) *third = a.third;
    if (fourth) *fourth = a.fourth;
    if (fifth) *fifth = a.fifth;
    if (kind) *kind = a.kind;
}

void NaviSafeZoneMark::ClearDistance() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.alert.distance = 0;
    m_state.blinkCounter = -1;
    m_state.blinkLimit = 0;
}

void NaviSafeZoneMark::TickBlink() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_state.alert.distance >= 1 || m_state.blinkLimit <= 0) return;
    if (m_state.blinkCounter > m_state.blinkLimit) {
        m_state.blinkCounter = -1;
        m_state.blinkLimit = 0;
    } else {
        ++m_state.blinkCounter;
    }
}

void NaviSafeZoneMark::ResetBlink() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.blinkCounter = -1;
    m_state.blinkLimit = 0;
}

int NaviSafeZoneMark::GetBlinkCounter() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state.blinkCounter;
}

int NaviSafeZoneMark::GetBlinkLimit() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state.blinkLimit;
}

void NaviSafeZoneMark::SetDisplayOption(bool on) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.displayOption = on;
}

void NaviSafeZoneMark::SetSpeed(int speed) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.speed = speed;
}

NaviSafeZoneMark::State NaviSafeZoneMark::Snapshot() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state;
}

bool NaviSafeZoneMark::Visible(const State& s, bool force) {
    const Alert& a = s.alert;
    if (s.speed < kMinSpeed) return false;
    // A distance below 0 means no alert at all (it is what an empty alert leaves).
    if (a.distance < 0) return false;
    if (a.distance > (a.roadClass == kHighway ? kRangeHighway : kRangeOrdinary)) return false;
    if (a.first < 1) return false;
    const int level = a.distance < 1 ? s.blinkLimit : a.second;
    if (level <= 0) return false;
    return force || a.kind != kKindHiddenUnlessForced;
}

bool NaviSafeZoneMark::IsAlertVisible(bool force) const {
    return Visible(Snapshot(), force);
}

int NaviSafeZoneMark::SignIndexFor(int value) {
    return std::clamp(value / 10, 0, 11);
}

void NaviSafeZoneMark::Draw(CDC* dc) {
    const State s = Snapshot();
    if (!(s.displayOption || s.forcedShow) || !Visible(s, false)) return;
    const int sign = SignIndexFor(s.alert.value);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_state.alert.signIndex = sign;
    }
    if (sign < 1 || !m_limitImages[sign]) return;
    DrawImage(dc, m_x, m_y, m_limitImages[sign]);
    if (s.blinkLimit > 0 && s.blinkCounter >= 0 && m_limitImages[0]) DrawImage(dc, m_x, m_y, m_limitImages[0]);
}

void NaviSafeZoneMark::DrawSign(CDC* dc, int x, int y, int n) {
    if (n >= 1 && n <= kSignImages && m_signImages[n - 1]) DrawImage(dc, x, y, m_signImages[n - 1]);
}

int NaviSafeZoneMark::HitTest(int x, int y) {
    const State s = Snapshot();
    if (!(s.displayOption || s.forcedShow) || !Visible(s, false)) return 0;
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviSafeZoneMark::ProcessCommand(NaviCommand& cmd) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (cmd.id == kCmdSimulationOn) m_state.forcedShow = true;
    else if (cmd.id == kCmdSimulationOff) m_state.forcedShow = false;
}
