// The main screen's menu launcher and its three menus: the basic menu, the advanced menu with its
// six pages and the driver's own menu of eight slots. A menu executes nothing: a tap resolves to
// the name of the entry under the pen, which the main-screen controller reads and hands on.
#pragma once

#include "skinui/NaviControl.h"
#include "skinui/NaviListener.h"

#include <array>
#include <vector>

class NaviButton;
class NaviMenuButton;
class NaviMenuPage;
class NaviSliderBar;

constexpr int kCmdMyMenuClear = 2039;  // to the my menu: every slot emptied
constexpr int kCmdMyMenuSlot = 2040;   // to the my menu: slot param1 shows entry param2

// The entries a my-menu slot can show, by entry number (0 is the empty slot).
inline constexpr int kMyMenuEntryCount = 31;
extern const char16_t* const MyMenuEntryTable[kMyMenuEntryCount];

// The small button in the screen's lower-left corner that opens the menus and, while one is
// open, offers a close area along the bottom.
class NaviMenuLauncher : public NaviControl {
public:
    NaviMenuLauncher();
    ~NaviMenuLauncher() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetMenuOpen(bool open) { m_menuOpen = open; }
    bool IsMenuOpen() const { return m_menuOpen; }
    bool IsSimulating() const { return m_simulating; }
    int GetMode() const { return m_mode; }
    static constexpr RECT kCloseRect{6, 298, 124, 319};

private:
    bool m_menuOpen = false;
    bool m_simulating = false;
    int m_mode = 0;
    NaviBitmap* m_proImage = nullptr;
    NaviBitmap* m_closeImage = nullptr;
    NaviBitmap* m_simulImage = nullptr;
};

// The beginner's menu: four search entries, menu switch, exit, taskbar button, volume slider.
class NaviBasicMenu : public NaviControl, public NaviListener {
public:
    NaviBasicMenu();
    ~NaviBasicMenu() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;
    void ProcessEvent(NaviCommand& cmd) override { ProcessCommand(cmd); }

    CString GetSelectedName() const { return m_hitName; }
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    NaviControl* FindChild(const CString& name) const;

private:
    std::vector<NaviControl*> m_children;
    CString m_hitName;
    NaviBitmap* m_balloonImage = nullptr;
    NaviSliderBar* m_slider = nullptr;
};

// One page of the advanced menu: up to nine entries beside the tabs. The page owns its children;
// the nine slots only point at entries among them.
class NaviMenuPage : public NaviControl {
public:
    static constexpr int kSlotCount = 9;

    NaviMenuPage();
    ~NaviMenuPage() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand&) override {}

    // Stores the entry in the slot (0..8) and makes the page its owner; a slot outside that range
    // or a null entry is refused (the entry then stays the caller's).
    bool SetEntry(NaviControl* entry, int slot);
    NaviControl* GetEntry(int slot) const;
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    CString GetSelectedName() const { return m_hitName; }

private:
    std::vector<NaviControl*> m_children;
    CString m_hitName;
    std::array<NaviControl*, kSlotCount> m_slots{};
};

// The advanced menu: five tabs, each showing a page of entries, plus exit, taskbar button,
// menu switch and volume slider.
class NaviAdvancedMenu : public NaviControl {
public:
    static constexpr int kPageCount = 6;

    NaviAdvancedMenu();
    ~NaviAdvancedMenu() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    CString GetSelectedName() const { return m_hitName; }
    // Hides the visible page and shows the one named ("위로" names "경로찾기"): 1. With no such
    // page the page visible before stays visible (none when none was): 0.
    int ShowPage(const CString& name);
    // The menu switch shows its alternate image (the menu was opened from the my menu).
    void SetMyMenuMark(bool on);

    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    NaviControl* FindChild(const CString& name) const;
    NaviMenuPage* GetPage(int i) const { return i >= 0 && i < kPageCount ? m_pages[i] : nullptr; }
    NaviMenuPage* VisiblePage() const;

private:
    std::vector<NaviControl*> m_children;
    CString m_hitName;
    std::array<NaviMenuPage*, kPageCount> m_pages{};
    NaviSliderBar* m_slider = nullptr;
    NaviButton* m_switch = nullptr;
};

// The driver's own menu: eight slots, each showing an entry of MyMenuEntryTable, with the fixed
// menu switch, exit, taskbar button and volume slider.
class NaviMyMenuCtrl : public NaviControl, public NaviListener {
public:
    static constexpr int kSlotCount = 8;

    NaviMyMenuCtrl();
    ~NaviMyMenuCtrl() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;
    void ProcessEvent(NaviCommand& cmd) override { ProcessCommand(cmd); }

    CString GetSelectedName() const { return m_hitName; }
    int GetSelectedSlot() const { return m_hitSlot; }
    // Slot 0..7 shows entry 0..30 (0 the empty slot); anything else, or no builder yet, changes
    // nothing.
    void SetSlot(int slot, int entry);
    void ClearSlots();
    void SetRcBuilder(NaviRcBuilder* builder) { m_builder = builder; }
    NaviMenuButton* GetSlot(int slot) const { return slot >= 0 && slot < kSlotCount ? m_slots[slot] : nullptr; }
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    NaviControl* FindChild(const CString& name) const;

    // Where slot i's button sits on the screen.
    static constexpr int kSlotX[kSlotCount] = {124, 21, 124, 21, 124, 21, 124, 21};
    static constexpr int kSlotY[kSlotCount] = {54, 91, 91, 128, 128, 165, 165, 202};

private:
    std::vector<NaviControl*> m_children;
    CString m_hitName;
    std::array<NaviMenuButton*, kSlotCount> m_slots{};
    NaviRcBuilder* m_builder = nullptr;
    int m_hitSlot = -1;
    NaviSliderBar* m_slider = nullptr;
};
