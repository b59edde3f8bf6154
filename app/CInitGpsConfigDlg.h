// The GPS set-up of a first start: the handheld's model is looked up in "PDAGPSConfig.bin"; a
// model with exactly one receiver wiring gets it stored without a question, one with several gets
// the skinned dialog "초기GPS설정", in which the user lets the program probe the candidate ports
// ("자동설정"), puts the set-up off ("다음에설정") or asks not to be asked again.
#pragma once

#include "app/GpsConfigTable.h"
#include "platform/base/CString.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class CMainView;
class CNaviConfig;
class CPositionWorkers;

class CInitGpsConfigDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplateId = 983;
    static constexpr const char16_t* kFileName = u"PDAGPSConfig.bin";
    // Configuration settings written by the set-up.
    static constexpr int kNoDatumShift = 28;
    static constexpr int kPortIndex = 29;
    static constexpr int kSpeedCode = 30;
    static constexpr int kSeparateGps = 31;
    static constexpr int kUseUnit = 32;
    static constexpr int kUnitCopy = 41;
    static constexpr int kSetUpDone = 43;

    // config null: the process's configuration.
    explicit CInitGpsConfigDlg(CWnd* owner = nullptr, CNaviConfig* config = nullptr);
    ~CInitGpsConfigDlg() override;

    void SetDataFolder(const CString& folder) { m_dataFolder = folder; }
    void SetDeviceType(int deviceType) { m_deviceType = deviceType; }
    // The GPS reader whose probes the automatic set-up uses (none: nothing is found).
    void SetProber(CPositionWorkers* prober) { m_prober = prober; }

    // Loads the table and finds this handheld's model. True when the dialog is to be run: the
    // model has more than one port of an entry to choose from. A single entry is stored at once;
    // a missing or malformed file, no model, no entry or a set-up done before change nothing.
    bool CheckAutoConfig();

    // Probes the model's entries in order; the entry that answered (-1 none) and whether the
    // receiver unit answered.
    int ProbeEntries(bool& unitFound);
    // The automatic set-up with its questions, repeated while the user asks to retry; true when
    // an entry was stored.
    bool RunAutoSetup();
    // Stores entry r of this model (with the unit when unit is set) and saves the configuration.
    void ApplyEntry(int r, bool unit);

    // The start-up's set-up: a single known wiring stored, or the dialog run over the view when the
    // handheld has several and no vehicle position was stored yet (a first start); the settings
    // saved after it.
    static void RunInitialSetUp(CMainView& view, bool vehicleStored);

    int GetModelIndex() const { return m_model; }
    const CGpsConfigTable& Table() const { return m_table; }

    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void ProcessEvent(NaviCommand& cmd) override;

private:
    bool LoadTable();
    void Close(int result);

    CNaviConfig* m_config;
    CString m_dataFolder;
    int m_deviceType = -1;
    int m_model = -1;
    int m_entry = -1;
    bool m_unitFound = false;
    CPositionWorkers* m_prober = nullptr;
    CGpsConfigTable m_table;
};
