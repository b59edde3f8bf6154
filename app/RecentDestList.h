// The recent destinations (file "DestPosition"): one process-wide list.
#pragma once

#include "app/RecordList.h"
#include "platform/base/CString.h"
#include "route/base/Records.h"

class CNaviConfig;

class CRecentDestList : public CRecordList<CRecentDestRecord> {
public:
    static CRecentDestList& Instance();
    // Where a device keeps the file: the card root on device types 7 and 23, the flash disk on
    // 9 and 21, the user folder elsewhere.
    static CString FilePath(int deviceType, const CNaviConfig& config);
};
