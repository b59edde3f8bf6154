// What the settings pages ask of the main view while they are open: the driving trail, the
// point-of-interest bar, the day and night colours, the receiver search and the sounds. The main
// view answers them (MainViewSettings.cpp); velko-dialog puts a recording stand-in in its place.
#pragma once

class ISettingsPageView {
public:
    virtual ~ISettingsPageView() = default;

    // The driving trail emptied at once.
    virtual void ClearTrail() = 0;
    // The main screen's point-of-interest bar: its current entry and its selection (-1 none).
    virtual void SetPoiBarEntry(int entry) = 0;
    virtual void SetPoiBarSelection(int selection) = 0;
    // The colour scheme switched when the night state changed (1 when it switched), or loaded for
    // the current state.
    virtual int UpdateDayNightColors() = 0;
    virtual void ApplyDayNightColors() = 0;
    // The ports searched for receivers: the port index, the speed index and whether the broadcast
    // unit and a separate GPS receiver answered. False when none was found.
    virtual bool FindReceivers(int& port, int& speed, bool& unit, bool& separateGps) = 0;
    // Voice guidance, the skinned controls' click and the message box's sound, on or off.
    virtual void SetVoiceGuidance(bool on) = 0;
    virtual void SetClickSound(bool on) = 0;
    virtual void SetMessageBoxSound(bool on) = 0;
};
