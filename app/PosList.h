// The saved positions of one "*.pos" file.
#pragma once

#include "app/RecordList.h"
#include "route/base/Records.h"

class CPosList : public CRecordList<CPosRecord> {};
