// A stack of pages of which one is visible: screens with several steps or tabs put each on a
// page and switch pages by command. Pen events go to the visible page's own controls.
#pragma once

#include "skinui/NaviControl.h"

#include <vector>

class NaviItemList : public NaviControl {
public:
    NaviItemList();
    ~NaviItemList() override;

    void OnPenDown() override;
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* /*builder*/) override {}
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Takes ownership. The first page shows; later pages stay hidden.
    void AddItem(NaviControl* page);
    // Ignored unless 0 <= i < the page count.
    void ShowPage(int i);
    int GetCurrentIndex() const { return m_current; }
    NaviControl* GetCurrentItem() const;
    // Page i, or null outside the pages.
    NaviControl* GetItem(int i) const { return i >= 0 && i < GetCount() ? m_pages[i] : nullptr; }
    int GetCount() const { return static_cast<int>(m_pages.size()); }
    void SetOwner(NaviListener* owner) { m_owner = owner; }

private:
    template <typename Dispatch> void PassPen(Dispatch dispatch);

    std::vector<NaviControl*> m_pages;
    int m_current = -1;
    int m_reserved = -1;
    NaviListener* m_owner = nullptr;
    POINT m_lastHit{-1, -1};
};
