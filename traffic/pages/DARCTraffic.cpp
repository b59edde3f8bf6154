#include "traffic/pages/DARCTraffic.h"

#include "traffic/receiver/Traffic.h"

namespace {
CDARCTraffic* g_traffic = nullptr;
}

CDARCTraffic* CDARCTraffic::instance() {
    if (!g_traffic) g_traffic = new CDARCTraffic();
    return g_traffic;
}

void CDARCTraffic::destruct() {
    delete g_traffic;
    g_traffic = nullptr;
}

int CDARCTraffic::getRealSpeedByIdx(unsigned short index, unsigned char& speed) {
    return CTraffic::instance()->getRealSpeedByIdx(index, speed);
}

int CDARCTraffic::getRealSpeedByID(unsigned long id, unsigned char& speed) {
    return CTraffic::instance()->getRealSpeedByID(id, speed);
}

int CDARCTraffic::getLinkColorByIdx(unsigned short index, unsigned long& colour) {
    return CTraffic::instance()->getLinkColorByIdx(index, colour);
}

void CDARCTraffic::getMapDir(CString& folder) { CTraffic::instance()->getMapDir(folder); }

int CDARCTraffic::getSpeedByIdx(unsigned short index, unsigned char& speed) {
    return CTraffic::instance()->getSpeedByIdx(index, speed);
}

int CDARCTraffic::isDataAvailable(int percent) { return CTraffic::instance()->isDataAvailable(percent); }

int CDARCTraffic::getAverSpeedByType(char roadClass, unsigned char& average) {
    return CTraffic::instance()->getAverSpeedByType(roadClass, average);
}

int CDARCTraffic::fakeSpeedByIdx(int count, const unsigned short* indices, unsigned char speed) {
    return CTraffic::instance()->fakeSpeedByIdx(count, indices, speed);
}

int CDARCTraffic::unfakeAll() { return CTraffic::instance()->unfakeAll(); }

int CDARCTraffic::getDarcIDByIdx(unsigned short index, unsigned long& id) {
    return CTraffic::instance()->getDarcIDByIdx(index, id);
}
