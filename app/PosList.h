// The saved positions of one registered-point folder ("Position" or "*.pos").
#pragma once

#include "app/RecordList.h"
#include "route/base/Records.h"

class CPosList : public CRecordList<CPosRecord> {};
