// The pages' narrow door to the news document store (forwarded operation by operation).
#pragma once

#include "platform/base/CTime.h"

class CDARCMarkup {
public:
    static CDARCMarkup* instance();
    static void destruct();
    virtual ~CDARCMarkup() = default;
    CDARCMarkup(const CDARCMarkup&) = delete;
    CDARCMarkup& operator=(const CDARCMarkup&) = delete;

    int GetSentence(unsigned short document, unsigned char kind, char* text, unsigned short& number,
                    unsigned char& serial, unsigned char& unread);
    void reset();
    int getReset();
    void setReset(int flag);
    // The time of the last document received (never the current time).
    int GetLastUpdatedTime(CTime& time);
    int IsDocAvailable(unsigned short document, unsigned char subKey, unsigned char kind);
    int IsDataAvailable(int kind);

private:
    CDARCMarkup() = default;
};
