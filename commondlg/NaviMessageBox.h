// The skinned message box: a question with "예" and "아니요" (type 3000, answering 4001 or 4002)
// or a notice with one "확인" button (type 3001, answering 4001), shown modally over the screen in
// the skin of the resource builder the view hands it once.
#pragma once

#include "platform/base/CString.h"

#include <vector>

class CWnd;
class NaviRcBuilder;

class NaviMessageBox {
public:
    static constexpr int kQuestion = 3000;
    static constexpr int kNotice = 3001;
    static constexpr int kYes = 4001;
    static constexpr int kNo = 4002;

    explicit NaviMessageBox(CWnd* parent = nullptr);
    ~NaviMessageBox();
    NaviMessageBox(const NaviMessageBox&) = delete;
    NaviMessageBox& operator=(const NaviMessageBox&) = delete;

    // Hands the process's resource builder to the box; before it, ShowMessage uses the window
    // system's own message box.
    void Initialize(NaviRcBuilder* builder);
    // Shows text modally and returns the answer: 4001 yes (or the notice's button), 4002 no.
    // An unknown type is shown as a notice.
    static int ShowMessage(const CString& text, int type);
    // The buttons' click sound on or off.
    void SetSoundEvent(bool on);
    // Releases the box: later messages fall back to the window system's box.
    void Destruct();

    // The lines the text is shown in: broken at line feeds and where a line would pass the box's
    // width (exposed for tests).
    static std::vector<CString> BreakLines(const CString& text);
};
