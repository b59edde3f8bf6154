#include "traffic/pages/DARCStock.h"

#include "traffic/receiver/Stock.h"

namespace {
CDARCStock* g_stock = nullptr;
}

CDARCStock* CDARCStock::instance() {
    if (!g_stock) g_stock = new CDARCStock();
    return g_stock;
}

void CDARCStock::destruct() {
    delete g_stock;
    g_stock = nullptr;
}

int CDARCStock::getCount(DWORD& count) {
    unsigned long n = 0;
    const int result = CStock::instance()->getCount(n);
    count = static_cast<DWORD>(n);
    return result;
}

int CDARCStock::readyTravel() {
    return CStock::instance()->readyTravel();
}

int CDARCStock::nextCode(char* name, int size, WORD& code, BYTE& suffix) {
    return CStock::instance()->nextCode(name, size, code, suffix);
}

void CDARCStock::CopyQuotation(const SIM& item, StockInterest& out) {
    out.price = item.price;
    out.direction = item.direction;
    out.change = item.change;
    out.volume = item.volume;
    out.high = item.high;
    out.low = item.low;
    out.ask = item.ask;
    out.bid = item.bid;
}

void CDARCStock::CopyMarket(const MARKET_STATUS& status, StockMarket& out) {
    out.value = status.value;
    out.change = status.change;
    out.field3 = status.field3;
    out.field4 = status.field4;
    out.field5 = status.field5;
    out.field6 = status.field6;
    out.validity = static_cast<std::int32_t>(status.validity);
}

int CDARCStock::getStockDataByCode(StockInterest& out, WORD code, BYTE suffix) {
    SIM item;
    if (!CStock::instance()->getStockDataByCode(item, code, suffix)) return 0;
    CopyQuotation(item, out);
    return 1;
}

int CDARCStock::getMarketDataByCode(StockMarket& out, BYTE market) {
    MARKET_STATUS status;
    if (!CStock::instance()->getMarketDataByCode(status, market)) return 0;
    CopyMarket(status, out);
    return 1;
}

int CDARCStock::isMarketFinished(int& closed) {
    return CStock::instance()->isMarketFinished(closed);
}

int CDARCStock::GetLastUpdatedTime(CTime& time) {
    return CStock::instance()->GetLastUpdatedTime(time);
}
