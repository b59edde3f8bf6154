#include "skinui/NaviSymbolManager.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

NaviSymbolManager::NaviSymbolManager() {
    m_disSymbols.reserve(200);
    m_disHalfSizes.reserve(200);
    m_disSymbols.push_back(nullptr);
    m_disHalfSizes.push_back(0);
}

NaviSymbolManager::~NaviSymbolManager() {
    delete m_selectMark;
    delete m_hand;
    for (NaviBitmap* image : m_symbols) delete image;
    for (NaviBitmap* image : m_poiBarMarks) delete image;
    for (NaviBitmap* image : m_interestIcons) delete image;
    delete m_speakerBadge;
    for (NaviBitmap* image : m_disSymbols) delete image;
    for (auto& [number, landmark] : m_landmarks) delete landmark.image;
}

int NaviSymbolManager::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

NaviBitmap* NaviSymbolManager::Load(const CString& name) {
    return m_builder ? m_builder->LoadImage(name) : nullptr;
}

void NaviSymbolManager::LoadImages(NaviRcBuilder* builder) {
    m_builder = builder;
    CString name;
    for (int i = 0; i < kSymbolCount; ++i) {
        name.Format(u"Symbol\\S%d", i);
        delete m_symbols[i];
        m_symbols[i] = Load(name);
    }
    for (int i = 0; i < kPoiBarMarkCount; ++i) {
        name.Format(u"POIBAR\\%03d", i);
        delete m_poiBarMarks[i];
        m_poiBarMarks[i] = Load(name);
    }
    for (int i = 0; i < kInterestIconCount; ++i) {
        name.Format(u"Interest\\icon\\Map\\%03d", i);
        delete m_interestIcons[i];
        m_interestIcons[i] = Load(name);
    }
    delete m_speakerBadge;
    m_speakerBadge = Load(u"Interest\\icon\\Map\\스피커");
    delete m_selectMark;
    m_selectMark = Load(u"NearList\\select_pos");
    delete m_hand;
    m_hand = Load(u"Symbol\\Hand");
}

void NaviSymbolManager::LoadDisSymbols(int last) {
    if (last > kMaxDisSymbol) last = kMaxDisSymbol;
    CString name;
    for (int i = static_cast<int>(m_disSymbols.size()); i <= last; ++i) {
        name.Format(u"DisSymbol\\%03d", i);
        NaviBitmap* image = Load(name);
        m_disSymbols.push_back(image);
        m_disHalfSizes.push_back(image ? image->GetHeight() / 2 : 0);
    }
}

void NaviSymbolManager::LoadLandmark(int number) {
    if (number < 0) return;
    CString name;
    name.Format(u"DisSymbol\\Landmark\\%03d", number);
    NaviBitmap* image = Load(name);
    if (!image) return;
    LandmarkImage& slot = m_landmarks[number];
    delete slot.image;
    slot.image = image;
    slot.half = image->GetHeight() / 2;
}

const NaviBitmap* NaviSymbolManager::DisSymbol(int index) const {
    return index >= 0 && index < static_cast<int>(m_disSymbols.size()) ? m_disSymbols[index] : nullptr;
}

const NaviBitmap* NaviSymbolManager::Landmark(int number) const {
    const auto it = m_landmarks.find(number);
    return it == m_landmarks.end() ? nullptr : it->second.image;
}

void NaviSymbolManager::DrawDisSymbol(HDC dc, int index, int x, int y) {
    if (index < 0) {
        if (m_symbols[15]) DrawImage(dc, x, y, m_symbols[15]);
        return;
    }
    if (index >= static_cast<int>(m_disSymbols.size())) {
        // Loaded now, drawn from the next redraw on.
        if (index <= kMaxDisSymbol) LoadDisSymbols(index);
        return;
    }
    NaviBitmap* image = m_disSymbols[index];
    if (!image) return;
    const int half = m_disHalfSizes[index];
    DrawImage(dc, x - half, y - half, image);
}

void NaviSymbolManager::DrawCachedSymbol(HDC dc, int number, int x, int y) {
    if (number < 0) return;
    auto it = m_landmarks.find(number);
    if (it == m_landmarks.end()) {
        LoadLandmark(number);
        // A picture still missing stays a null entry, never looked for again.
        it = m_landmarks.try_emplace(number).first;
    }
    if (!it->second.image) return;
    const int h = it->second.half;
    DrawImage(dc, x - h, y - 2 * h + 8, it->second.image);
}

void NaviSymbolManager::DrawSelectMark(HDC dc, int x, int y) {
    if (m_selectMark) DrawImage(dc, x - 15, y - 15, m_selectMark);
}

void NaviSymbolManager::DrawHand(HDC dc, int x, int y) {
    if (m_hand) DrawImage(dc, x, y - 6, m_hand);
}

void NaviSymbolManager::DrawPoiBarIcon(HDC dc, int n, int x, int y) {
    if (n < 0 || n >= kPoiBarMarkCount || !m_poiBarMarks[n]) return;
    DrawImage(dc, x, y - 17, m_poiBarMarks[n]);
}

void NaviSymbolManager::DrawSymbol(CDC* dc, int n, int x, int y) {
    if (n < 0 || n >= kSymbolCount || !m_symbols[n]) return;
    DrawImage(dc, x, y, m_symbols[n]);
}

void NaviSymbolManager::DrawInterestIcon(CDC* dc, int n, bool speaker, int x, int y) {
    if (n < 0 || n >= kInterestIconCount) return;
    if (m_interestIcons[n]) DrawImage(dc, x, y, m_interestIcons[n]);
    if (speaker && m_speakerBadge) DrawImage(dc, x + 7, y, m_speakerBadge);
}
