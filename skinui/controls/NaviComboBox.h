// The combo box: a three-piece frame showing the selected item of its list of strings. A tap
// asks the listener (with 2018 and the combo's handle) to open the popup list screen; the combo
// listens to that screen, fills its list and takes the chosen row.
#pragma once

#include "skinui/NaviListener.h"
#include "skinui/controls/NaviCheckButton.h"

#include <cstdint>
#include <vector>

class NaviComboBox : public NaviCheckButton, public NaviListener {
public:
    NaviComboBox();
    ~NaviComboBox() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;
    void ProcessEvent(NaviCommand& cmd) override;

    void AddItem(const CString& item) { m_items.push_back(item); }
    // Ignored unless 0 <= i < the item count.
    void Select(int i);
    int GetSelected() const { return m_selected; }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    CString GetItem(int i) const;
    bool IsActive() const { return m_active; }
    RECT GetTextRect() const { return m_textRect; }

    // The 32-bit handle the 2018 report carries, and the combo it names: null once that combo
    // has been deleted (or for a handle never given).
    std::uint32_t GetHandle() const { return m_handle; }
    static NaviComboBox* FromHandle(std::uint32_t handle);

private:
    void Layout(CDC* dc);
    void Send(const CString& target, const CString& control, const CString& text, int id, int param1);

    std::uint32_t m_handle = 0;
    int m_selected = -1;
    bool m_active = true;
    RECT m_textRect{};
    NaviBitmap* m_left = nullptr;
    NaviBitmap* m_middle = nullptr;
    NaviBitmap* m_right = nullptr;
    int m_leftWidth = 0, m_leftHeight = 0;
    int m_middleWidth = 0, m_middleHeight = 0;
    int m_rightWidth = 0, m_rightHeight = 0;
    std::vector<CString> m_items;
    bool m_comboLaidOut = false;
};
