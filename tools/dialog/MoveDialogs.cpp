// The coordinate moves: the location-code and the latitude/longitude dialogs. Settings: text1=
// to text3= (text6=) the remembered field texts, type=, direct=, and for the latitude/longitude
// dialog wgs84=1 for the WGS-84 entry of the datum group.
#include "app/DorvaMoveDlg.h"
#include "app/LatLonMoveDlg.h"
#include "platform/base/Text.h"
#include "tools/dialog/DialogSession.h"

#include <cstdio>

namespace {

CString Setting(const DialogSession& session, const std::string& key) {
    const auto it = session.settings.find(key);
    return it == session.settings.end() ? CString() : CString(Utf8ToUtf16(it->second).c_str());
}

void PrintCommon(DialogSession& session, INT_PTR code, int type, bool routeNow, bool here) {
    session.Print("result", code == IDOK ? "ok" : "cancel");
    session.Print("type", type);
    session.Print("routenow", routeNow ? 1 : 0);
    session.Print("here", here ? 1 : 0);
}

void PrintTexts(DialogSession& session, const CString* texts, int count) {
    for (int i = 0; i < count; ++i)
        session.Print("text" + std::to_string(i + 1), Utf16ToUtf8(texts[i].GetString()));
}

std::string Seconds(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", seconds);
    return buffer;
}

} // namespace

void RunDorvaDialog(DialogSession& session) {
    CDorvaMoveDlg dialog(nullptr);
    CString texts[3];
    for (int i = 0; i < 3; ++i) texts[i] = Setting(session, "text" + std::to_string(i + 1));
    dialog.SetCodeTexts(texts);
    dialog.SetType(session.Int("type", 4));
    dialog.SetDirectRoute(session.Int("direct", 0) != 0);
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"도르바이동");
    const INT_PTR code = dialog.DoModal();
    PrintCommon(session, code, dialog.GetType(), dialog.IsRouteNow(), dialog.IsCurrentPosition());
    session.Print("focus", dialog.GetFocusedEdit());
    dialog.GetCodeTexts(texts);
    PrintTexts(session, texts, 3);
    std::int32_t x = 0;
    std::int32_t y = 0;
    DorvaCode cell;
    const bool valid = code == IDOK && dialog.GetPosition(x, y, cell);
    session.Print("position.valid", valid ? 1 : 0);
    if (!valid) return;
    session.Print("position.x", x);
    session.Print("position.y", y);
    // The map x the shell moves to.
    session.Print("map.x", static_cast<long long>(x * 1.2));
    session.Print("map.y", y);
    session.Print("code.digits", std::to_string(cell.sheetColumn) + std::to_string(cell.sheetRow) +
                                     std::to_string(cell.subColumn) + std::to_string(cell.subRow));
}

void RunLatLonDialog(DialogSession& session) {
    CLatLonMoveDlg dialog(nullptr);
    CString texts[CLatLonMoveDlg::kFieldCount];
    for (int i = 0; i < CLatLonMoveDlg::kFieldCount; ++i)
        texts[i] = Setting(session, "text" + std::to_string(i + 1));
    dialog.SetFieldTexts(texts);
    dialog.SetType(session.Int("type", 4));
    dialog.SetDirectRoute(session.Int("direct", 0) != 0);
    dialog.SetWgs84(session.Int("wgs84", 0) != 0);
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"경위도이동");
    const INT_PTR code = dialog.DoModal();
    PrintCommon(session, code, dialog.GetType(), dialog.IsRouteNow(), dialog.IsCurrentPosition());
    session.Print("focus", dialog.GetFocusedEdit());
    session.Print("wgs84", dialog.IsWgs84() ? 1 : 0);
    dialog.GetFieldTexts(texts);
    PrintTexts(session, texts, CLatLonMoveDlg::kFieldCount);
    std::int32_t x = 0;
    std::int32_t y = 0;
    CLatLonMoveDlg::Angle lon;
    CLatLonMoveDlg::Angle lat;
    const bool valid = code == IDOK && dialog.GetPosition(x, y, lon, lat);
    session.Print("position.valid", valid ? 1 : 0);
    if (!valid) return;
    std::int32_t netX = 0;
    std::int32_t netY = 0;
    CLatLonMoveDlg::Convert(lon, lat, dialog.IsWgs84(), netX, netY, x, y);
    session.Print("net.x", netX);
    session.Print("net.y", netY);
    session.Print("map.x", x);
    session.Print("map.y", y);
    session.Print("lon", std::to_string(lon.degrees) + " " + std::to_string(lon.minutes) + " " +
                             Seconds(lon.seconds));
    session.Print("lat", std::to_string(lat.degrees) + " " + std::to_string(lat.minutes) + " " +
                             Seconds(lat.seconds));
}
