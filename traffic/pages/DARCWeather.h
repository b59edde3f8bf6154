// The pages' narrow door to the weather store (forwarded operation by operation).
#pragma once

#include "platform/base/CString.h"
#include "traffic/receiver/WIM.h"

class CDARCWeather {
public:
    static CDARCWeather* instance();
    static void destruct();
    virtual ~CDARCWeather() = default;
    CDARCWeather(const CDARCWeather&) = delete;
    CDARCWeather& operator=(const CDARCWeather&) = delete;

    int getWeatherByRegionAndDay(unsigned short region, unsigned char day, WIM& weather);
    int getLocalInfo(int group, int day, CString* report);
    int getToday(unsigned char& day);

private:
    CDARCWeather() = default;
};
