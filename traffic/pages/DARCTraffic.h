// The pages' narrow door to the link-speed store: every operation fetches the receiver's own
// store and calls its operation of the same name, so the pages depend on this one class.
#pragma once

#include "platform/base/CString.h"

class CDARCTraffic {
public:
    static CDARCTraffic* instance();
    static void destruct();
    virtual ~CDARCTraffic() = default;
    CDARCTraffic(const CDARCTraffic&) = delete;
    CDARCTraffic& operator=(const CDARCTraffic&) = delete;

    int getRealSpeedByIdx(unsigned short index, unsigned char& speed);
    int getRealSpeedByID(unsigned long id, unsigned char& speed);
    int getLinkColorByIdx(unsigned short index, unsigned long& colour);
    void getMapDir(CString& folder);
    int getSpeedByIdx(unsigned short index, unsigned char& speed);
    int isDataAvailable(int percent);
    int getAverSpeedByType(char roadClass, unsigned char& average);
    int fakeSpeedByIdx(int count, const unsigned short* indices, unsigned char speed);
    int unfakeAll();
    int getDarcIDByIdx(unsigned short index, unsigned long& id);

private:
    CDARCTraffic() = default;
};
