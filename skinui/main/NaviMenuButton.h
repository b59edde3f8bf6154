// The button of every main-screen menu entry. Plain buttons show their own image, or their
// "_Check" image while checked (the advanced menu's tabs); numbered buttons show the shared
// "메뉴버튼" image with the entry's label and its number drawn over it (menu pages, my-menu slots).
#pragma once

#include "skinui/NaviControl.h"

inline constexpr const char16_t* kTargetAdvancedMenu = u"NaviMenuAdv";

class NaviMenuButton : public NaviControl {
public:
    NaviMenuButton();
    ~NaviMenuButton() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    // Only commands for "NaviMenuAdv": 2032 checks, 2033 unchecks.
    void ProcessCommand(NaviCommand& cmd) override;

    void SetNumbered(bool on) { m_numbered = on; }
    bool IsNumbered() const { return m_numbered; }
    void SetNumber(int number) { m_number = number; }
    int GetNumber() const { return m_number; }
    void SetChecked(bool on) { m_checked = on; }
    bool IsChecked() const { return m_checked; }
    NaviBitmap* GetLabelImage() const { return m_labelImage; }
    NaviBitmap* GetNumberImage() const { return m_numberImage; }
    NaviBitmap* GetCheckImage() const { return m_checkImage; }

private:
    bool m_checked = false;
    bool m_numbered = false;
    NaviBitmap* m_labelImage = nullptr;
    NaviBitmap* m_numberImage = nullptr;
    NaviBitmap* m_checkImage = nullptr;
    int m_number = -1;
};
