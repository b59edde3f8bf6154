// The point-of-interest bar's two facilities: the nearest records of a symbol-and-text layer
// around the map centre (the layer shown, else the category layer of setting 3), looked up
// whenever the map is drawn away from the car.
#include "app/CMainView.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"

namespace {
constexpr int kSettingPoiCategory = 3;
} // namespace

void CMainView::FindPoiBarEntries() {
    if (m_followVehicle || !m_mainScreen || !m_config) return;
    auto* bar = dynamic_cast<NaviPoiBar*>(m_mainScreen->FindControl(u"POIBAR"));
    if (!bar) return;
    // Without a category (setting 3 outside 0-6, negative for "show nothing") the bar lists
    // nothing rather than what an earlier category found.
    bar->ClearItems();
    const int category = m_config->GetValue(kSettingPoiCategory);
    if (category < 0 || category >= 7) return;
    const std::string layer = Utf16ToUtf8(kPoiLayers[category]);
    m_mapWnd.FindNearestFeature(&bar->Entry(0), layer.c_str());
}
