// The safe-driving points: the points the user added and the built-in guide points the user
// switched off (two process-wide lists). A list in mode 1 keeps its records in the short-name
// form: a 16-byte name followed by a 32-bit value.
#pragma once

#include "app/RecordList.h"
#include "route/base/Records.h"

class CSafePointList : public CRecordList<CSafePointRecord> {
public:
    static CSafePointList& Added();
    static CSafePointList& Removed();

protected:
    void Prepare(CSafePointRecord& record) const override {
        if (m_mode == 1) record.form = 1;
    }
};
