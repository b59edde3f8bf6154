// The broadcast receiver under arbitrary input. The first byte picks what the rest is: bytes
// from the receiver unit (fed in input-sized pieces through SetData and ParseData, with every
// store open on small tables), the link-speed store's save file, or the frequency table.
#include "platform/files/DeviceRoot.h"
#include "traffic/receiver/ChannelInfo.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Traffic.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string& Root() {
    static const std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/velko-darc-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directories(pattern + "/Map/MRDATA");
        std::filesystem::create_directories(pattern + "/Map/DARC");
        std::filesystem::create_directories(pattern + "/My Documents/Velko");
        std::ofstream links(pattern + "/Map/MRDATA/DARCLINK.bin", std::ios::binary);
        for (std::uint32_t id : {0x00060001u, 0x00060002u, 0x000A0001u, 0x80020001u, 0x80020002u})
            for (int b = 0; b < 4; ++b) links.put(static_cast<char>(id >> (8 * b)));
        std::ofstream freq(pattern + "/Map/DARC/Freq.bin", std::ios::binary);
        const unsigned char table[] = {2, 1, 'A', 1, 'B', 2, 3, 36, 62, 90, 3, 36, 62, 90};
        freq.write(reinterpret_cast<const char*>(table), sizeof table);
        return pattern;
    }();
    return root;
}

void Put(const std::string& relative, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(Root() + "/" + relative, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    DeviceRoot::SetRoot(Root());
    const CString folder(u"\\Map");
    const int mode = data[0] % 3;
    ++data;
    --size;
    if (mode == 1) {
        Put("My Documents/Velko/STIStore.bin", data, size);
    } else if (mode == 2) {
        Put("Map/DARC/Freq.bin", data, size);
    }
    CTraffic* traffic = CTraffic::instance();
    CFreqScanner* scanner = CFreqScanner::instance();
    traffic->openFile(folder);
    scanner->openFile(folder);
    if (mode == 0) {
        CDARC* darc = CDARC::instance();
        std::size_t at = 0, piece = 1 + (size % 97);
        while (at < size) {
            std::size_t n = size - at < piece ? size - at : piece;
            darc->SetData(reinterpret_cast<const char*>(data + at), static_cast<unsigned long>(n));
            if (darc->ParseData() < 0) __builtin_trap();
            char command[8];
            unsigned long length = 0;
            if (scanner->IsScanMode() && !scanner->IsWaitingPacket() && scanner->GetNextSentence(command, length)) {
                if (length != 5) __builtin_trap();
                scanner->SetWaitFlag(1);
                if (!scanner->IsSearching()) scanner->StopSearch();
            }
            at += n;
            piece = piece * 7 % 300 + 1;
        }
    }
    for (int i = 0; i < traffic->GetLinkCount(); ++i) {
        unsigned char speed = 0;
        unsigned long colour = 0;
        traffic->getSpeedByIdx(static_cast<unsigned short>(i), speed);
        traffic->getLinkColorByIdx(static_cast<unsigned short>(i), colour);
    }
    char name[32];
    for (int r = 0; r <= scanner->GetLocalNum(); ++r) {
        scanner->GetLocalName(r, name, sizeof name);
        for (int f = 0; f <= scanner->GetNumOfFreq(r); ++f) scanner->GetFreq(f);
    }
    scanner->StartSearch(36);
    char command[8];
    unsigned long length = 0;
    for (int i = 0; i < 20 && scanner->GetNextSentence(command, length); ++i) scanner->SetReceiveRate(10, command[2]);
    CDARC::destruct();
    CTraffic::destruct();
    CFreqScanner::destruct();
    CChannelInfo::destruct();
    return 0;
}
