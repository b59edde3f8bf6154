// The traffic sheet's host window and the view's rules around it: the host's template and place,
// the title that names a still-valid download, and the map level a map move from the sheet takes.
#pragma once

#include "platform/base/CTime.h"
#include "platform/window/Afx.h"

#include <cstdint>
#include <functional>
#include <string>

class CDARCSheet;
class NaviRcBuilder;

namespace traffic_sheet {

constexpr int kHostTemplate = 636;
constexpr int kHostX = 0, kHostY = 26, kHostWidth = 240, kHostHeight = 294;
constexpr int kTitleValidMinutes = 60;

// "교통정보[%d월%d일%d시%d분 수신정보]" while the download (non-zero) is at most 60 minutes old at
// now, otherwise "교통정보". A download time in the future is treated as current.
std::u16string Title(const CTime& download, const CTime& now);

// The level step (0 to 8) for a map move over a section of the given length: from step 8 down,
// the first step whose table distance covers the whole section; step 0 when none does.
int MapMoveStep(std::int64_t distance);

} // namespace traffic_sheet

// The plain dialog (template 636) that hosts the traffic-broadcast sheet: placed below the top
// bar, it runs the sheet modally with its title, the skin builder and the configuration, and
// closes itself when the sheet ends.
class CTrafficSheetHost : public CDialog {
public:
    static constexpr const char16_t* kSheetCaption = u"ZARN정보";

    explicit CTrafficSheetHost(CWnd* parent);
    // Title and builder (not owned) handed to the sheet.
    void SetTitle(const CString& title, NaviRcBuilder* builder);
    const CString& GetTitle() const { return m_title; }
    BOOL OnInitDialog() override;
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override;

    // Runs the sheet (by default its DoModal); tests play the sheet's part.
    std::function<INT_PTR(CDARCSheet& sheet)> m_runSheet;

private:
    CString m_title;
    NaviRcBuilder* m_builder = nullptr;
};
