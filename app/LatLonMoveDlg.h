// The latitude/longitude move dialog ("경위도이동"): the user types a longitude and a latitude in
// degrees, minutes and seconds on the on-screen keypad, says whether they are WGS-84 or Bessel
// values, and shows the place on the map or routes to it at once as start, destination or
// waypoint. The shell reads back the six texts, the type and the map position.
#pragma once

#include "app/PointDialogBase.h"

#include <cstdint>

class CLatLonMoveDlg : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 486;
    // First row longitude, second row latitude: degrees, minutes, seconds.
    static constexpr int kEditLonDegrees = 1051;
    static constexpr int kEditLonMinutes = 1052;
    static constexpr int kEditLonSeconds = 1053;
    static constexpr int kEditLatDegrees = 1054;
    static constexpr int kEditLatMinutes = 1055;
    static constexpr int kEditLatSeconds = 1056;
    static constexpr int kFieldCount = 6;
    // The longest text of each field; every field but the last moves on to the next at it.
    static constexpr int kFieldLengths[kFieldCount] = {3, 2, 5, 2, 2, 5};

    // One row as exchanged with the fields.
    struct Angle {
        int degrees = 0;
        int minutes = 0;
        double seconds = 0.0;
    };

    explicit CLatLonMoveDlg(CWnd* parent);

    void SetFieldTexts(const CString texts[kFieldCount]);
    void GetFieldTexts(CString texts[kFieldCount]) const;
    void SetType(int type) { m_type = type; }
    int GetType() const { return m_type; }
    // True when the values are WGS-84 and are shifted to the map's Bessel datum.
    void SetWgs84(bool on) { m_wgs84 = on; }
    bool IsWgs84() const { return m_wgs84; }
    void SetDirectRoute(bool on) { m_directRoute = on; }
    void SetAdvancedTabs(bool on) { m_advancedTabs = on; }
    bool IsCurrentPosition() const { return m_currentPosition; }
    bool IsRouteNow() const { return m_routeNow; }
    int GetFocusedEdit() const { return m_focusedEdit; }

    // The values confirmed last, as map coordinates; true when 0 < x < 520000 and
    // 0 < y < 660000, and then each row's degrees, minutes and seconds are copied out too.
    bool GetPosition(std::int32_t& x, std::int32_t& y, Angle& longitude, Angle& latitude) const;
    // The conversion: each row to milli-arc-seconds (rounded half up), the WGS-84 shift when
    // asked, then network coordinates (hundredths of an arc-second) and map coordinates. False
    // when the values leave the 32-bit range on the way (no place of the map lies there).
    static bool Convert(const Angle& longitude, const Angle& latitude, bool wgs84, std::int32_t& netX,
                        std::int32_t& netY, std::int32_t& x, std::int32_t& y);
    // A seconds text: digits with at most one decimal point; false for anything else.
    static bool ParseSeconds(const CString& text, double& seconds);

    void ProcessEvent(NaviCommand& cmd) override;

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;
    bool KeepsDialogKeys() const override { return true; }
    bool SwallowsEraseBackground() const override { return true; }
    void PaintUnderPanel(CDC* memory, const RECT& panelRect) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter confirms with the route-now flag as last set.
    void OnOK() override;

private:
    void SendKey(BYTE vk);
    void Confirm();
    void FocusEdit(int id);
    static int FieldIndex(int id);

    bool m_wgs84 = false;
    bool m_currentPosition = false;
    int m_type = kTypeMove;
    int m_focusedEdit = kEditLonDegrees;
    CString m_texts[kFieldCount];
    bool m_routeNow = false;
    bool m_directRoute = false;
    bool m_typing = false;
    bool m_advancedTabs = true;
    Angle m_longitude;
    Angle m_latitude;
    bool m_exchanged = false;
};
