// A strip of up to four tabs drawn from one image of the whole strip per selected tab, or, in
// text mode, from numbered strip images with the tab texts drawn over them.
#pragma once

#include "skinui/NaviControl.h"

class NaviTabCtrl : public NaviControl {
public:
    static constexpr int kMaxTabs = 4;

    NaviTabCtrl();
    ~NaviTabCtrl() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Both refuse n outside 1..4. SetTabs selects the first tab.
    bool SetTabs(const CString names[], int n);
    bool SetTabTexts(const CString texts[], int n);
    // Ignored unless 0 <= i < the tab count.
    void SelectTab(int i);
    int GetSelected() const { return m_selected; }
    int GetCount() const { return m_count; }
    CString GetSelectedName() const;

private:
    struct TextLayout {
        int left, top, width, height, step;
    };

    NaviBitmap* m_images[kMaxTabs] = {};
    CString m_names[kMaxTabs];
    CString m_texts[kMaxTabs];
    int m_selected = 0;
    int m_count = 0;
    bool m_textMode = false;
    TextLayout m_layout{0, 0, 0, 0, 0};
};
