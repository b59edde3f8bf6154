// What the traffic download needs of the main view and of the broadcast receiver's traffic
// store. The view implements it; the download and its update thread call it.
#pragma once

class CTrafficConnect;

class TrafficViewShare {
public:
    virtual ~TrafficViewShare() = default;
    // A skinned question (type 3000); the answer, 4001 for yes.
    virtual int AskQuestion(const char16_t* text) = 0;
    // A skinned notice (type 3001).
    virtual void ShowNotice(const char16_t* text) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // The traffic-broadcast stores: whether they are open, and opening them with the hold flag
    // set while the reception thread is kept away.
    virtual bool BroadcastStoresOpen() = 0;
    virtual void OpenBroadcastStoresHeld() = 0;
    virtual bool HoldFlagSet() = 0;
    virtual bool BroadcastReceiverInUse() = 0;
    // The traffic store: the downloaded records, their validity in minutes, the periodic update.
    virtual void LoadHighWayTraffic(const CTrafficConnect& connection) = 0;
    virtual void SetTrafficValidTime(int minutes) = 0;
    virtual void UpdateTrafficDB() = 0;
    // Voice message (17: traffic received), the traffic-updated flag and a map refresh.
    virtual void PlayMessage(int message) = 0;
    virtual void TrafficUpdated() = 0;
};
