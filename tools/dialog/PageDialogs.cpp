// The settings pages (--page NAME): one page in the common dialog over the device's settings,
// with the view's side answered by a stand-in that prints each call. Afterwards the page's
// controls as they were left and the settings the page keeps are printed.
#include "app/DisplayPageListener.h"
#include "app/RouteSearchPageListener.h"
#include "app/SafeDrivePageListener.h"
#include "app/SaveLocationPageListener.h"
#include "app/SettingsPageView.h"
#include "app/SoundPageListener.h"
#include "app/SystemPageListener.h"
#include "app/NaviApp.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "tools/dialog/DialogSession.h"

#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace {

std::string U8(const CString& text) { return Utf16ToUtf8(text.Str()); }

// The main view as the pages see it: every call printed as view=...; the receiver search
// answers from --set receiver=PORT,SPEED,UNIT,SEPARATE (none found without it). The sounds are
// switched here too, so that what follows in the run (a message box) is heard or not as the
// program would have it.
class RecordingView : public ISettingsPageView {
public:
    explicit RecordingView(DialogSession& session) : m_session(session) {}

    void ClearTrail() override { Call("ClearTrail"); }
    void SetPoiBarEntry(int entry) override { Call("SetPoiBarEntry " + std::to_string(entry)); }
    void SetPoiBarSelection(int selection) override { Call("SetPoiBarSelection " + std::to_string(selection)); }
    int UpdateDayNightColors() override {
        Call("UpdateDayNightColors");
        return 0;
    }
    void ApplyDayNightColors() override { Call("ApplyDayNightColors"); }
    bool FindReceivers(int& port, int& speed, bool& unit, bool& separateGps) override {
        Call("FindReceivers");
        const auto it = m_session.settings.find("receiver");
        if (it == m_session.settings.end()) return false;
        int values[4] = {};
        if (std::sscanf(it->second.c_str(), "%d,%d,%d,%d", &values[0], &values[1], &values[2], &values[3]) != 4)
            return false;
        port = values[0];
        speed = values[1];
        unit = values[2] != 0;
        separateGps = values[3] != 0;
        return true;
    }
    void SetVoiceGuidance(bool on) override { Call(std::string("SetVoiceGuidance ") + (on ? "1" : "0")); }
    void SetClickSound(bool on) override {
        Call(std::string("SetClickSound ") + (on ? "1" : "0"));
        if (m_session.builder) m_session.builder->SetClickSound(on);
    }
    void SetMessageBoxSound(bool on) override {
        Call(std::string("SetMessageBoxSound ") + (on ? "1" : "0"));
        if (m_session.messageBox) m_session.messageBox->SetSoundEvent(on);
    }

private:
    void Call(const std::string& what) { m_session.Print("view", what); }
    DialogSession& m_session;
};

// The controls a page's listener sets, as they stand.
void PrintControls(DialogSession& session, NaviControl* control, bool inTab) {
    if (!control) return;
    const std::string name = U8(control->GetName());
    if (auto* list = dynamic_cast<NaviItemList*>(control)) {
        session.Print("page." + name, list->GetCurrentIndex());
        for (int i = 0; i < list->GetCount(); ++i) PrintControls(session, list->GetItem(i), true);
        return;
    }
    if (auto* panel = dynamic_cast<NaviPanel*>(control)) {
        for (NaviControl* child : panel->GetChildren()) PrintControls(session, child, inTab);
        return;
    }
    if (inTab && !control->IsVisible()) session.Print("hidden." + name, 1);
    if (auto* group = dynamic_cast<NaviRadioGroup*>(control)) {
        session.Print("group." + name, group->GetSelectedIndex());
    } else if (auto* combo = dynamic_cast<NaviComboBox*>(control)) {
        session.Print("combo." + name, combo->GetSelected());
        if (!combo->IsActive()) session.Print("combo." + name + ".active", 0);
        std::string items;
        for (int i = 0; i < combo->GetCount(); ++i) items += (i ? "|" : "") + U8(combo->GetItem(i));
        session.Print("combo." + name + ".items", items);
    } else if (auto* check = dynamic_cast<NaviCheckBox*>(control)) {
        session.Print("check." + name, check->IsChecked() ? 1 : 0);
    } else if (auto* tabs = dynamic_cast<NaviTabCtrl*>(control)) {
        session.Print("tab." + name, tabs->GetSelected());
    } else if (auto* label = dynamic_cast<NaviLabel*>(control)) {
        // Labels show their own name until the page sets them.
        if (label->GetText() != control->GetName()) session.Print("label." + name, U8(label->GetText()));
    }
}

struct PageRow {
    const char* name;
    std::vector<int> settings;
};

const PageRow kPages[] = {
    {"display", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 49}},
    {"safedrive", {18, 19, 20, 21, 22, 23, 24, 25, 26, 27}},
    {"route", {12, 14, 15, 16, 17}},
    {"system", {28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 54, 55, 56, 57, 58, 59, 60, 61}},
    {"savelocation", {64}},
    {"sound", {65, 66}},
};

} // namespace

void RunSettingsPageDialog(DialogSession& session) {
    const std::string page = session.settings.count("page") ? session.settings.at("page") : std::string();
    const PageRow* row = nullptr;
    for (const PageRow& r : kPages)
        if (page == r.name) row = &r;
    if (!row) {
        std::fprintf(stderr, "velko-dialog: unknown page '%s' (display, safedrive, route, system, savelocation, "
                             "sound)\n", page.c_str());
        session.exitCode = 2;
        return;
    }
    CNaviConfig* config = CNaviConfig::GetInstance();
    if (session.settings.count("day"))
        config->SetMapColorName(u"기본지도색상", Utf8ToUtf16(session.settings.at("day")).c_str());
    if (session.settings.count("night"))
        config->SetMapColorName(u"야간지도색상", Utf8ToUtf16(session.settings.at("night")).c_str());
    RecordingView view(session);
    CNaviCommonDlg dialog(nullptr);
    dialog.SetRcBuilder(session.builder);
    const int tab = session.Int("tab", 0);
    std::unique_ptr<CSettingsPageListener> listener;
    const char16_t* name = nullptr;
    if (page == "display") {
        listener = std::make_unique<CDisplayPageListener>(&dialog, config, &view);
        name = CDisplayPageListener::kPageName;
    } else if (page == "safedrive") {
        listener = std::make_unique<CSafeDrivePageListener>(&dialog, config, &view);
        name = CSafeDrivePageListener::kPageName;
    } else if (page == "route") {
        listener = std::make_unique<CRouteSearchPageListener>(&dialog, config, &view);
        name = CRouteSearchPageListener::kPageName;
    } else if (page == "system") {
        if (session.settings.count("keys")) config->SetKeyLayout(session.Int("keys", 4));
        auto system = std::make_unique<CSystemPageListener>(&dialog, config, &view, tab);
        session.builder->SetDeviceType(navi::g_deviceType);
        session.builder->SetButtonCount(config->GetKeyLayout() > 0 ? config->GetKeyLayout() : 4);
        listener = std::move(system);
        name = CSystemPageListener::kPageName;
    } else if (page == "savelocation") {
        listener = std::make_unique<CSaveLocationPageListener>(&dialog, config, &view);
        name = CSaveLocationPageListener::kPageName;
    } else {
        listener = std::make_unique<CSoundPageListener>(&dialog, config, &view, tab);
        name = CSoundPageListener::kPageName;
    }
    dialog.SetPanelName(name);
    dialog.SetNaviListener(listener.get());
    dialog.DoModal();
    dialog.SetNaviListener(nullptr);
    session.Print("result", dialog.GetCommonRet());
    session.Print("changed", listener->IsChanged() ? 1 : 0);
    if (auto* system = dynamic_cast<CSystemPageListener*>(listener.get())) {
        session.Print("menu.initial", system->InitialMenuChanged() ? 1 : 0);
        session.Print("menu.user", system->UserMenuChanged() ? 1 : 0);
    }
    PrintControls(session, dialog.GetPanel(), false);
    for (int index : row->settings) session.Print("setting." + std::to_string(index), config->GetValue(index));
    if (page == "display") {
        char16_t scheme[CNaviConfig::kNameChars + 1] = {};
        config->GetMapColorName(u"기본지도색상", scheme);
        session.Print("scheme.day", Utf16ToUtf8(scheme));
        config->GetMapColorName(u"야간지도색상", scheme);
        session.Print("scheme.night", Utf16ToUtf8(scheme));
    }
}
