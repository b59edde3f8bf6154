// The store of the small images the map draws on itself: facility symbols ("DisSymbol", loaded
// lazily into a growing table), landmark pictures (cached by number on first use), the sixteen
// route and point symbols, the category-bar markers, the interest icons with their speaker
// badge, the selection mark and the pointing hand. A control only so that the main screen can
// create and load it like the others; it is never drawn as one.
#pragma once

#include "mapview/MapSymbols.h"
#include "skinui/NaviControl.h"

#include <map>
#include <vector>

// Two 16-bit coordinates packed in one value.
struct POINTS {
    SHORT x = 0;
    SHORT y = 0;
};

class NaviSymbolManager : public NaviControl, public IMapSymbols {
public:
    // Symbol numbers above this come only from corrupt layers: they are drawn as nothing and never
    // grow the table.
    static constexpr int kMaxDisSymbol = 999;
    static constexpr int kSymbolCount = 16;
    static constexpr int kPoiBarMarkCount = 4;
    static constexpr int kInterestIconCount = 15;

    NaviSymbolManager();
    ~NaviSymbolManager() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC*) override {}
    void ProcessCommand(NaviCommand&) override {}

    void DrawDisSymbol(HDC dc, int index, int x, int y) override;
    void DrawDisSymbolPacked(HDC dc, int index, POINTS pos) { DrawDisSymbol(dc, index, pos.x, pos.y); }
    void DrawCachedSymbol(HDC dc, int number, int x, int y) override;
    void DrawCachedSymbolPacked(HDC dc, int number, POINTS pos) { DrawCachedSymbol(dc, number, pos.x, pos.y); }
    void DrawSelectMark(HDC dc, int x, int y);
    void DrawHand(HDC dc, int x, int y);
    void DrawPoiBarIcon(HDC dc, int n, int x, int y) override;
    void DrawSymbol(CDC* dc, int n, int x, int y) override;
    void DrawInterestIcon(CDC* dc, int n, bool speaker, int x, int y);

    void LoadDisSymbols(int last);
    void LoadLandmark(int number);

    int DisSymbolCount() const { return static_cast<int>(m_disSymbols.size()); }
    const NaviBitmap* DisSymbol(int index) const;
    const NaviBitmap* Landmark(int number) const;
    const NaviBitmap* Symbol(int n) const { return n >= 0 && n < kSymbolCount ? m_symbols[n] : nullptr; }
    const NaviBitmap* InterestIcon(int n) const {
        return n >= 0 && n < kInterestIconCount ? m_interestIcons[n] : nullptr;
    }

private:
    struct LandmarkImage {
        NaviBitmap* image = nullptr;
        int half = 0;
    };

    NaviBitmap* Load(const CString& name);

    NaviBitmap* m_selectMark = nullptr;
    NaviBitmap* m_hand = nullptr;
    NaviBitmap* m_symbols[kSymbolCount] = {};
    NaviBitmap* m_poiBarMarks[kPoiBarMarkCount] = {};
    NaviBitmap* m_interestIcons[kInterestIconCount] = {};
    NaviBitmap* m_speakerBadge = nullptr;
    std::vector<NaviBitmap*> m_disSymbols;
    std::vector<int> m_disHalfSizes;
    std::map<int, LandmarkImage> m_landmarks;
    NaviRcBuilder* m_builder = nullptr;
};
