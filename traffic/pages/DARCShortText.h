// The pages' narrow door to the short-text store (forwarded operation by operation).
#pragma once

#include "platform/base/CTime.h"

class CDARCShortText {
public:
    static CDARCShortText* instance();
    static void destruct();
    virtual ~CDARCShortText() = default;
    CDARCShortText(const CDARCShortText&) = delete;
    CDARCShortText& operator=(const CDARCShortText&) = delete;

    int getSentence(char* text, int& unread, int& kind);
    void reset();
    int getReset();
    void setReset(int flag);
    // kindIndex is the kind less one (0-3); the time of the last text received.
    int GetLastUpdatedTime(CTime& time, int kindIndex);
    int IsDataAvailable(int kind);

private:
    CDARCShortText() = default;
};
