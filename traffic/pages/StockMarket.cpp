#include "traffic/pages/StockMarket.h"

#include "traffic/receiver/StoreFile.h"

#include <cstring>

StockMarket::StockMarket(BYTE marketNumber, const char* marketName) : number(marketNumber) {
    if (!marketName) return;
    const std::size_t length = std::strlen(marketName);
    std::memcpy(name, marketName,
                Cp949Prefix(reinterpret_cast<const unsigned char*>(marketName), length, sizeof name - 1));
}

void StockMarket::ClearData() {
    value = 0;
    change = 0;
    field3 = 0;
    field4 = 0;
    field5 = 0;
    field6 = 0;
    validity = -1;
}
