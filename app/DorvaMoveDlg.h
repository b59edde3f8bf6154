// The location-code move dialog ("도르바이동"): the user types a Dorva code on the on-screen
// keypad into three fields (the fine x and fine y of the cell, three digits each, then the four
// in-sheet digits: sheet column, sheet row, sub-column, sub-row) and shows that place on the map or
// routes to it at once as start, destination or waypoint. The shell reads back the texts, the type
// and the decoded position.
#pragma once

#include "app/PointDialogBase.h"
#include "position/Geometry.h"

#include <cstdint>

class CDorvaMoveDlg : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 959;
    static constexpr int kEditFineX = 1620;
    static constexpr int kEditFineY = 1621;
    static constexpr int kEditDigits = 1150;
    // What each field holds at most; the two fine fields advance to the next at their length.
    static constexpr int kFineLength = 3;
    static constexpr int kDigitsLength = 4;

    explicit CDorvaMoveDlg(CWnd* parent);

    void SetCodeTexts(const CString texts[3]);
    void GetCodeTexts(CString texts[3]) const;
    void SetType(int type) { m_type = type; }
    int GetType() const { return m_type; }
    // The shell already has a destination, so "바로탐색" may set a start or a waypoint.
    void SetDirectRoute(bool on) { m_directRoute = on; }
    // The four-tab strip of the advanced menu (the default) or the beginner's two tabs.
    void SetAdvancedTabs(bool on) { m_advancedTabs = on; }
    bool IsCurrentPosition() const { return m_currentPosition != 0; }
    bool IsRouteNow() const { return m_routeNow; }
    int GetFocusedEdit() const { return m_focusedEdit; }

    // The code confirmed last, decoded: x in the code grid's unit (the shell multiplies it by 1.2
    // for the map x) and y, the centre of the code's cell; the code's six fields go to code.
    // False when the code names no cell of the map.
    bool GetPosition(std::int32_t& x, std::int32_t& y, DorvaCode& code) const;
    // The decoding: the four in-sheet digits of digits (0 to 9999) go to the code's sheet column,
    // sheet row, sub-column and sub-row, the two fine numbers (0 to 999) to its fine x and y; then
    // the cell centre. False when a number is out of its range, when a sub-column or sub-row digit
    // above 7 names no cell, or when the cell lies outside the map.
    static bool Decode(int fineX, int fineY, int digits, DorvaCode& code, std::int32_t& x, std::int32_t& y);

    void ProcessEvent(NaviCommand& cmd) override;

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;
    bool SwallowsEraseBackground() const override { return true; }
    void PaintUnderPanel(CDC* memory, const RECT& panelRect) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void SendKey(BYTE vk);
    void Confirm();
    // Puts the focus on a field with its text selected, as a Tab onto it does.
    void FocusEdit(int id);
    static int FieldIndex(int id);

    DorvaCode m_code;
    int m_currentPosition = 0;
    int m_type = kTypeMove;
    int m_focusedEdit = kEditFineX;
    CString m_texts[3];
    bool m_routeNow = false;
    bool m_directRoute = false;
    bool m_typing = false;
    bool m_advancedTabs = true;
    int m_values[3] = {0, 0, 0}; // fine x, fine y, digits as last exchanged
    bool m_decoded = false;
};
