#include "traffic/pages/DARCWeather.h"

#include "traffic/receiver/Weather.h"

namespace {
CDARCWeather* g_weather = nullptr;
}

CDARCWeather* CDARCWeather::instance() {
    if (!g_weather) g_weather = new CDARCWeather();
    return g_weather;
}

void CDARCWeather::destruct() {
    delete g_weather;
    g_weather = nullptr;
}

int CDARCWeather::getWeatherByRegionAndDay(unsigned short region, unsigned char day, WIM& weather) {
    return CWeather::instance()->getWeatherByRegionAndDay(region, day, weather);
}

int CDARCWeather::getLocalInfo(int group, int day, CString* report) {
    return CWeather::instance()->getLocalInfo(group, day, report);
}

int CDARCWeather::getToday(unsigned char& day) { return CWeather::instance()->getToday(day); }
