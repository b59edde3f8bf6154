// The recent destinations (file "DestPosition"): one process-wide list.
#pragma once

#include "app/RecordList.h"
#include "route/base/Records.h"

class CRecentDestList : public CRecordList<CRecentDestRecord> {
public:
    static CRecentDestList& Instance();
};
