#include "app/RecentDestList.h"
#include "app/SafePointList.h"

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
