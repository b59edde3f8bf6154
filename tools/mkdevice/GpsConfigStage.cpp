#include "tools/mkdevice/GpsConfigStage.h"

#include "platform/base/Text.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/NetworkModel.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace mkdev {

namespace {

// In the order of the device-type table of the program.
constexpr const char16_t* kModels[] = {
    u"iPAQ39시리즈", u"iPAQ38시리즈", u"iPAQ36시리즈", u"POZ",      u"iPAQ5450",   u"OBX I/II",
    u"Mio338",      u"MobiOne",     u"iPAQ2210",     u"mycube",   u"iPAQ1940",   u"Mio339/168",
    u"iPAQ4150",    u"OBX+",        u"LG SC8000",    u"POZ X301",
};
constexpr const char16_t* kReceivers[] = {u"내장 GPS", u"블루투스 GPS", u"ZARN 수신기"};

struct Wiring {
    int receiver;
    int model;
    std::uint32_t gpsPort, gpsBaud, unitPort, unitBaud;
};
// iPAQ39시리즈 (device type 0): two entries, the built-in receiver on COM5 first;
// iPAQ38시리즈 (1): exactly one, COM4 at 57,600;
// POZ (7): the receiver unit carrying the GPS on COM1;
// OBX I/II (9): a separate GPS on COM5 beside the unit on COM1;
// mycube (15): a Bluetooth receiver on COM6 at 115,200.
constexpr Wiring kWiring[] = {
    {0, 0, 5, 4800, 0, 0},   {1, 0, 8, 9600, 0, 0},     {0, 1, 4, 57600, 0, 0},
    {2, 3, 1, 38400, 1, 38400}, {1, 5, 5, 4800, 1, 38400}, {1, 9, 6, 115200, 0, 0},
};

void Name(ByteSink& out, const char16_t* text, std::size_t field) {
    const std::string bytes = Utf16ToCp949(text);
    if (bytes.size() > field) throw std::runtime_error("PDAGPSConfig.bin: a name is longer than its field");
    out.Text(bytes, field);
}

} // namespace

std::vector<std::uint8_t> GpsConfigTableBytes() {
    constexpr std::uint32_t models = std::size(kModels);
    constexpr std::uint32_t receivers = std::size(kReceivers);
    ByteSink out;
    out.U32(models);
    for (const char16_t* m : kModels) Name(out, m, 20);
    out.U32(receivers);
    for (const char16_t* r : kReceivers) Name(out, r, 30);
    for (std::uint32_t r = 0; r < receivers; ++r)
        for (std::uint32_t m = 0; m < models; ++m) {
            Wiring cell{0, 0, 0, 0, 0, 0};
            for (const Wiring& w : kWiring)
                if (w.receiver == static_cast<int>(r) && w.model == static_cast<int>(m)) cell = w;
            out.U32(cell.gpsPort);
            out.U32(cell.gpsBaud);
            out.U32(cell.unitPort);
            out.U32(cell.unitBaud);
        }
    return out.Data();
}

void WriteGpsConfigTable(const DeviceLayout& layout) {
    WriteFileAtomic(layout.programDir + "/PDAGPSConfig.bin", GpsConfigTableBytes());
}

} // namespace mkdev
