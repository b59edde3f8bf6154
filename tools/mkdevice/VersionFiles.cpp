#include "tools/mkdevice/VersionFiles.h"

#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/NetworkModel.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mkdev {

std::uint16_t VersionChecksum(const std::uint8_t* data, std::size_t n) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2)
        sum += static_cast<std::uint32_t>(data[i] | (data[i + 1] << 8));
    if (n % 2) sum += data[n - 1];
    std::uint32_t s = (sum & 0xFFFF) + (sum >> 16);
    s += s >> 16;
    return static_cast<std::uint16_t>(~s);
}

std::uint16_t FileTailChecksum(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::uint8_t> all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t n = std::min<std::size_t>(all.size(), 100);
    return VersionChecksum(all.data() + (all.size() - n), n);
}

namespace {

void WithChecksum(const std::string& path, const ByteSink& body) {
    ByteSink file;
    file.U16(VersionChecksum(body.Data().data(), body.Size()));
    file.Bytes(body.Data().data(), body.Size());
    WriteFileAtomic(path, file.Data());
}

} // namespace

void WriteAppDataInfo(const std::string& path) {
    ByteSink body;
    body.Text("Velko", 50);
    body.Text(Utf16ToCp949(u"벨코 내비게이션"), 50);
    body.U32(20240315);
    body.Text("1.0.0", 30);
    body.Text("KR", 10);
    body.U32(1);
    body.U32(0);
    body.U16(3);
    if (body.Size() != 154) throw std::runtime_error("program record size");
    WithChecksum(path, body);
}

void WriteMapDataInfo(const std::string& mapDataDir) {
    ByteSink body;
    body.Text("VKSAMPLE", 8);
    body.U32(20240301); // display data
    body.U32(20240315); // search data
    body.U32(20240322); // route data
    body.U8(1);         // data kind
    body.Text(Utf16ToCp949(u"샘플"), 10);
    body.Text(Utf16ToCp949(u"가람 지역 도로망"), 30);
    body.U16(FileTailChecksum(mapDataDir + "/SearchDB/aVelko.db"));
    body.U16(FileTailChecksum(mapDataDir + "/MRData/MRCross.bin"));
    if (body.Size() != 65) throw std::runtime_error("map-data record size");
    WithChecksum(mapDataDir + "/mapdatainfo.bin", body);
}

} // namespace mkdev
