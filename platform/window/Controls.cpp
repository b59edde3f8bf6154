// Registration of the native control classes; each class lives in its own file and what they
// share in ControlSupport.
#include "platform/window/Controls.h"

#include "platform/window/ControlSupport.h"

#include <mutex>

using namespace nativectl;

void RegisterNativeControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct Entry {
            LPCWSTR name;
            WNDPROC proc;
        };
        const Entry entries[] = {
            {WC_BUTTON, ButtonProc},     {WC_STATIC, StaticProc},     {WC_EDIT, EditProc},
            {WC_LISTBOX, ListBoxProc},   {u"ComboLBox", ListBoxProc}, {WC_COMBOBOX, ComboProc},
            {WC_LISTVIEW, ListViewProc}, {WC_HEADER, HeaderProc},     {TRACKBAR_CLASS, TrackbarProc},
            {WC_TABCONTROL, TabProc}};
        for (const Entry& e : entries) {
            WNDCLASSW wc;
            wc.lpfnWndProc = e.proc;
            wc.lpszClassName = e.name;
            RegisterClassW(&wc);
        }
    });
}
