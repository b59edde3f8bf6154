// The listener of the route option panel "경로재설정": it keeps the seven values the panel edits
// (priority, traffic use, save, and which of the four closing buttons was pressed), presets the
// panel's controls when the panel is built and closes the dialog on a closing button.
#pragma once

#include "skinui/NaviCommand.h"
#include "skinui/NaviListener.h"

#include <array>
#include <cstdint>
#include <functional>

class CNaviCommonDlg;

class CRouteOptionListener : public NaviListener {
public:
    enum Field {
        kPriority = 0,   // row of "우선탐색그룹" + 1
        kUseTraffic = 1, // 1 when row 0 of "교통정보반영그룹" is chosen
        kSave = 2,       // "탐색옵션 저장" on
        kSearch = 3,     // "경로탐색" pressed
        kReverse = 4,    // "역방향탐색" pressed
        kHere = 5,       // "현위치" pressed
        kBack = 6,       // "이전" pressed
        kFields = 7
    };
    static constexpr const char16_t* kPanelName = u"경로재설정";

    CRouteOptionListener(CNaviCommonDlg* dialog, int priority, int useTraffic);
    ~CRouteOptionListener() override = default;

    void ProcessEvent(NaviCommand& cmd) override;
    // Runs the panel modally on the dialog (the test runner in its place when one is set).
    void Run();

    std::int32_t Get(Field f) const { return m_record[f]; }
    const std::array<std::int32_t, kFields>& Record() const { return m_record; }

    // Tests run the panel through this instead of the dialog; an empty function restores the
    // dialog.
    using PanelRunner = std::function<void(CRouteOptionListener&)>;
    static void SetPanelRunner(PanelRunner runner);

private:
    void Close();
    void SendToDialog(const char16_t* control, int value);

    CNaviCommonDlg* m_dialog = nullptr;
    std::array<std::int32_t, kFields> m_record{};
};
