// The listener of the multi-route page "다중경로탐색": the user ticks the route kinds to search in
// addition to the current route's and starts the search. The kind of the current route stays
// ticked and its check box cannot be changed; its result control is marked.
#pragma once

#include "skinui/NaviCommand.h"
#include "skinui/NaviListener.h"

#include <array>
#include <cstdint>
#include <functional>

class CNaviCommonDlg;

class CMultiRoutePageListener : public NaviListener {
public:
    static constexpr const char16_t* kPageName = u"다중경로탐색";
    static constexpr int kKinds = 4;
    // The check box and the result control of route kind 1 to 4.
    static const char16_t* const kCheckBoxes[kKinds];
    static const char16_t* const kResultControls[kKinds];

    // A route kind is a route-search option 1 to 4; anything else is no kind.
    static bool IsKind(int kind) { return kind >= 1 && kind <= kKinds; }

    // flags: one per kind (settings 50 to 53); currentKind: the current route's kind, ticked when
    // it is a kind.
    CMultiRoutePageListener(CNaviCommonDlg* dialog, const std::int32_t flags[kKinds], int currentKind);
    ~CMultiRoutePageListener() override = default;

    void ProcessEvent(NaviCommand& cmd) override;
    // Ticks the check box of the kind on the page.
    void CheckKind(int kind);
    // Runs the page modally on the common dialog with the rounded outline (the test runner in its
    // place when one is set).
    void Run();

    bool Started() const { return m_start != 0; }
    bool IsTicked(int kind) const { return IsKind(kind) && m_flags[static_cast<std::size_t>(kind - 1)] != 0; }
    void GetFlags(std::int32_t flags[kKinds]) const;

    // Tests run the page through this instead of the dialog; an empty function restores the
    // dialog.
    using PageRunner = std::function<void(CMultiRoutePageListener&)>;
    static void SetPageRunner(PageRunner runner);

private:
    void SendToControl(const char16_t* control, int id, int value);
    void Close();

    CNaviCommonDlg* m_dialog = nullptr;
    std::int32_t m_start = 0;
    std::array<std::int32_t, kKinds> m_flags{};
    std::int32_t m_currentKind = 0;
};
