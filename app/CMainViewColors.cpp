// The main view's day and night colour schemes: the scheme files "Color_<name>.bin" named by the
// settings "기본지도색상" (day) and "야간지도색상" (night), applied to the document and to every
// base-map layer, and switched when night begins or ends (checked before each paint).
#include "app/CMainView.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"

namespace {

CString SchemeFile(CNaviConfig* config, bool night) {
    char16_t name[CNaviConfig::kNameChars] = {};
    config->GetMapColorName(night ? u"야간지도색상" : u"기본지도색상", name);
    CString file;
    file.Format(u"Color_%s.bin", name);
    return file;
}

} // namespace

int CMainView::ApplyDayNightColors() {
    const bool night = (m_config->GetValue(11) & 1) && m_mapWnd.IsNightTime();
    m_nightScheme = night;
    ApplyColorScheme(SchemeFile(m_config, night));
    return 1;
}

int CMainView::UpdateDayNightColors() {
    const bool automatic = (m_config->GetValue(11) & 1) != 0;
    const bool nightTime = automatic && m_mapWnd.IsNightTime();
    // The flag changes first: applying a scheme repaints the map, and that paint checks again.
    if (automatic && !m_nightScheme && nightTime) {
        m_nightScheme = true;
        ApplyColorScheme(SchemeFile(m_config, true));
        return 1;
    }
    if (m_nightScheme && !nightTime) {
        m_nightScheme = false;
        ApplyColorScheme(SchemeFile(m_config, false));
        return 1;
    }
    return 0;
}

void CMainView::ApplyColorScheme(const CString& fileName) {
    if (!m_doc || !m_doc->LoadSchemeFile(fileName)) return;
    m_mapWnd.SetBackColor(m_doc->backColor);
    m_mapWnd.SetTextColor(m_doc->textColor);
    for (const MapLayerRecord& record : m_doc->layers) {
        CMapLayerFile* layer = FindMapLayer(record.name);
        if (!layer) continue;
        const int kind = layer->GetKind();
        if (kind == 3 || kind == 7) {
            // Entry 10 decides the fill; the last entry with an outline decides the outline.
            for (int k = 0; k <= 10; ++k) {
                const std::uint8_t* entry = record.Entry(k);
                layer->SetColor(m_doc->Colour(entry[1]));
                if (entry[3]) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(m_doc->Colour(entry[3]));
                }
            }
        } else if (kind == 2 || kind == 5) {
            layer->SetColor(m_doc->Colour(record.Entry(m_mapLevel)[1]));
            for (int k = 0; k <= 10; ++k) {
                const std::uint8_t* entry = record.Entry(k);
                if (!entry[0]) continue;
                if (entry[2]) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(m_doc->Colour(entry[2]));
                }
                break;
            }
        }
    }
    ApplyCurrentLevel();
    m_mapWnd.RequestRedraw(1);
    if (m_hWnd) Invalidate(FALSE);
}

int CMainView::GetDisplayColorCount() {
    HDC dc = ::GetDC(m_mapWnd.m_hWnd ? m_mapWnd.m_hWnd : m_hWnd);
    const int colours = GetDeviceCaps(dc, NUMCOLORS);
    ::ReleaseDC(m_mapWnd.m_hWnd ? m_mapWnd.m_hWnd : m_hWnd, dc);
    return colours;
}
