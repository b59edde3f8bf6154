// The broadcast content stores under arbitrary input. The first byte picks what the rest is:
// one of the four save files, one of the table files, packets handed to the stores one by one
// (a length byte before each), or bytes from the receiver unit through the receiver link with
// every store open. Then every query runs over what was loaded.
#include "platform/files/DeviceRoot.h"
#include "platform/window/WindowHost.h"
#include "traffic/receiver/ChannelInfo.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Texts() { return std::string("\x02\x01" "A" "\x02" "BC", 6); }
std::string Regions() {
    // Two groups: regions 1 and 2, then 3; names "a", "b", "c".
    return std::string("\x02\x00\x02\x00\x03\x00" "\x01\x00\x02\x00\x03\x00" "\x01\x00\x02\x00\x03\x00"
                       "\x01" "a" "\x01" "b" "\x01" "c", 24);
}

const char* const kFiles[] = {
    "My Documents/Velko/MDSStore.bin", "My Documents/Velko/STSStore.bin", "My Documents/Velko/SIMStore.bin",
    "My Documents/Velko/WIMStore.bin", "Map/DARC/SIMID.bin",             "Map/DARC/SIMTable01.bin",
    "Map/DARC/WIMTable01.bin",         "Map/DARC/WIMID_Cur.bin",         "Map/DARC/WIMID_Short.bin",
    "Map/DARC/WIMID_Week.bin"};
constexpr int kFileModes = 10;

const std::string& Root() {
    static const std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/velko-content-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directories(pattern + "/Map/MRDATA");
        std::filesystem::create_directories(pattern + "/Map/DARC");
        std::filesystem::create_directories(pattern + "/My Documents/Velko");
        WinSetMessageBoxHandler([](HWND, const std::u16string&, const std::u16string&, UINT) { return 1; });
        return pattern;
    }();
    return root;
}

// Small good tables, so that each run starts from the same device.
void Reset() {
    const std::string& r = Root();
    for (int i = 0; i < 4; ++i) std::filesystem::remove(r + "/" + kFiles[i]);
    Write(r + "/Map/DARC/SIMID.bin", std::string("\x02\x00\x00\x00" "\x41\x51\x02\x00\x01" "A" "\x00\x00\x03\x00\x01" "B", 16));
    Write(r + "/Map/DARC/SIMTable01.bin", std::string("\x01\x05" "KOSPI", 7));
    Write(r + "/Map/DARC/WIMTable01.bin", Texts());
    Write(r + "/Map/DARC/WIMTable02.bin", Texts());
    Write(r + "/Map/DARC/WIMTable03.bin", Texts());
    Write(r + "/Map/DARC/WIMID_Cur.bin", Regions());
    Write(r + "/Map/DARC/WIMID_Short.bin", Regions());
    Write(r + "/Map/DARC/WIMID_Week.bin", Regions());
}

void Feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at < size;) {
        std::size_t n = data[at++] % 51;
        if (n > size - at) n = size - at;
        const unsigned char* p = data + at;
        const int length = static_cast<int>(n);
        CMarkup::instance()->setData(p, length);
        CShortText::instance()->setData(p, length);
        CStock::instance()->setData(p, length);
        CWeather::instance()->setData(p, length);
        at += n;
    }
}

void Query() {
    char text[CMarkup::kBodyTextSize];
    unsigned short number = 0;
    unsigned char serial = 0, unread = 0;
    CMarkup* m = CMarkup::instance();
    for (unsigned char kind = 0; kind <= 3; ++kind)
        for (int i = 0; i < 200 && m->GetSentence(static_cast<unsigned short>(i % 4), kind, text, number, serial, unread); ++i) {
            if (std::strlen(text) >= sizeof text) __builtin_trap();
        }
    m->IsDocAvailable(1, 0, 3);
    int u = 0, kind = 0;
    for (int i = 0; i < 200 && CShortText::instance()->getSentence(text, u, kind); ++i) {
    }
    CStock* s = CStock::instance();
    s->readyTravel();
    char name[32] = {};
    unsigned short code = 0;
    unsigned char suffix = 0;
    while (s->nextCode(name, sizeof name, code, suffix)) {
        if (name[sizeof name - 1] != 0) __builtin_trap();
        SIM item;
        s->getStockDataByCode(item, code, suffix);
    }
    MARKET_STATUS status;
    for (int i = 0; i < 256; ++i) s->getMarketDataByCode(status, static_cast<unsigned char>(i));
    CWeather* w = CWeather::instance();
    WIM wim;
    for (unsigned short region = 0; region < 5; ++region)
        for (unsigned char day = 0; day < 10; ++day) w->getWeatherByRegionAndDay(region, day, wim);
    CString report;
    for (int g = 0; g < 12; ++g)
        for (int day = 0; day < 9; ++day) w->getLocalInfo(g, day, &report);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    DeviceRoot::SetRoot(Root());
    Reset();
    const CString folder(u"\\Map");
    const int mode = data[0] % (kFileModes + 2);
    ++data;
    --size;
    if (mode < kFileModes) Write(Root() + "/" + kFiles[mode], std::string(reinterpret_cast<const char*>(data), size));
    CMarkup::instance()->openFile(folder);
    CShortText::instance()->openFile(folder);
    CStock::instance()->openFile(folder);
    CWeather::instance()->openFile(folder);
    if (mode == kFileModes) Feed(data, size);
    if (mode == kFileModes + 1) {
        CTraffic::instance()->openFile(folder);
        CDARC* darc = CDARC::instance();
        std::size_t at = 0, piece = 1 + (size % 97);
        while (at < size) {
            std::size_t n = size - at < piece ? size - at : piece;
            darc->SetData(reinterpret_cast<const char*>(data + at), static_cast<unsigned long>(n));
            darc->ParseData();
            at += n;
            piece = piece * 7 % 300 + 1;
        }
    }
    Query();
    CMarkup::instance()->close();
    CShortText::instance()->close();
    CStock::instance()->close();
    CWeather::instance()->close();
    CMarkup::destruct();
    CShortText::destruct();
    CStock::destruct();
    CWeather::destruct();
    CDARC::destruct();
    CTraffic::destruct();
    CFreqScanner::destruct();
    CChannelInfo::destruct();
    return 0;
}
