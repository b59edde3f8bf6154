// The strip at the top right of the main screen ("TrackBar"): while a route is followed, the
// distance to the destination (and the next waypoint) with an estimate of the driving time left;
// on highways instead the name of a facility less than a kilometre away, or a banner for the next
// rest or filling station with its service icons. The GPS thread feeds it; the UI thread draws it
// from a copy taken under the lock.
#pragma once

#include "skinui/NaviControl.h"

#include <cstdint>
#include <mutex>

class NaviDigitPanel;

class NaviHighwayBar : public NaviControl {
public:
    struct Facility {
        int kind = 0; // 0: a facility to announce
        int distance = 0;
        int stationType = 0; // 1..5: a filling-station icon
        int hasGas = 0;
        int extra = 0;
        CString text;
        int layout[6] = {214, 8, 170, 8, 190, 8};
        CString name;
        CString secondName;
    };
    // What a drawing uses: copied under the lock.
    struct State {
        bool pedestrian = false;
        CString nearName;
        std::int64_t startSeconds = 0;
        bool hasWaypoint = false;
        double destDistance = 0;
        double waypointDistance = 0;
        int routeTime = 0;
        int routeLength = 0;
        int waypointNumber = 0;
        Facility next;
        double travelled = 0;
        std::uint32_t remainingTime = 0;
    };
    enum Layout { kNearBanner, kFacilityBanner, kDistanceBar };

    NaviHighwayBar();
    ~NaviHighwayBar() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int, int) override { return 0; }
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand&) override {}

    void SetDigitPanel(NaviDigitPanel* digits) { m_digits = digits; }
    // Values below 0 are not stored; the estimate is recomputed either way.
    void SetDistances(double dest, double waypoint);
    void SetRouteTime(int seconds);
    void SetRouteLength(int metres);
    void AddTravelled(int metres);
    void GetRemainingTime(std::uint32_t& value) const;
    // Shown only for 1..999 m; any other distance clears the name.
    void SetNearFacilityName(const CString& name, int distance);
    void SetPedestrian(bool on);
    void SetWaypoint(bool on, int number);
    void SetNextFacility(const CString& name, const CString& secondName, int kind, int distance, int stationType,
                         int hasGas, int extra);
    void ResetNextFacility();

    State Snapshot() const;
    static Layout ChooseLayout(const State& s);
    // "HH:MM" of the estimate (hours of a day), "00:00" on foot.
    static CString TimeText(const State& s);
    // The estimate of the time left from the route's own figures and the average speed so far.
    static std::uint32_t Estimate(const State& s, std::int64_t nowSeconds);

private:
    void Recompute(); // with the lock held
    static std::int64_t NowSeconds();
    void DrawBanner(CDC* dc, const State& s, Layout layout);
    void DrawDistances(CDC* dc, const State& s);
    void DrawAt(CDC* dc, NaviBitmap* image, int x, int y);

    mutable std::mutex m_lock;
    State m_state;
    NaviDigitPanel* m_digits = nullptr;
    NaviBitmap* m_destRight = nullptr;
    NaviBitmap* m_destLeft = nullptr;
    NaviBitmap* m_wayMiddle = nullptr;
    NaviBitmap* m_wayLeft = nullptr;
    NaviBitmap* m_numbers[5] = {};
    NaviBitmap* m_stations[6] = {};
    NaviBitmap* m_gas = nullptr;
    NaviBitmap* m_bannerRight = nullptr;
    NaviBitmap* m_bannerLeft = nullptr;
    NaviBitmap* m_bannerMiddle = nullptr;
};
