#include "app/RecentDestList.h"
#include "app/SafePointList.h"

#include "config/NaviConfig.h"

CRecentDestList& CRecentDestList::Instance() {
    static CRecentDestList list;
    return list;
}

CSafePointList& CSafePointList::Added() {
    static CSafePointList list;
    return list;
}

CSafePointList& CSafePointList::Removed() {
    static CSafePointList list;
    return list;
}

CString CRecentDestList::FilePath(int deviceType, const CNaviConfig& config) {
    if (deviceType == 7 || deviceType == 23) {
        CString path;
        path.Format(u"%s\\%s", config.GetItemPath(u"저장장치", 1).GetString(), u"DestPosition");
        return path;
    }
    if (deviceType == 9 || deviceType == 21) return CString(u"\\Flash Disk\\DestPosition");
    return CString(u"\\My Documents\\Velko\\DestPosition");
}
