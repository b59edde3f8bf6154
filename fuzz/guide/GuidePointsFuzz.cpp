// Arbitrary bytes as the guide-point file: every cell must lie inside the file and its points
// inside the point table; a check around points of the grid then reads only loaded points.
#include "fuzz/guide/FuzzRoot.h"
#include "position/GuidePoint.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string mapData = GuideFuzzRoot("velko_guidepoint_fuzz") + "/MapData";
    std::filesystem::create_directories(mapData + "/POINT");
    // Inputs shorter than the cell table are laid over a valid empty file, size word included.
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.size() < 50 + 3168 * 4 + 32) {
        std::vector<std::uint8_t> base = mkdev::GuidePointFile({});
        for (std::size_t i = 0; i < bytes.size() && i + 50 < base.size(); ++i) base[50 + i] = bytes[i];
        bytes = base;
    }
    WriteInput(mapData + "/POINT/newGuidePoint.MDC", bytes.data(), bytes.size());
    CGuidePoint points;
    if (!points.Load(u"\\MapData")) return 0;
    std::size_t total = 0;
    for (const CGuidePoint::Cell& c : points.Cells()) {
        if (c.count && (c.offset < 50 + 3168 * 4 || c.offset + static_cast<std::uint64_t>(c.count) * 32 > bytes.size()))
            std::abort();
        total += c.count;
    }
    if (total != points.Points().size()) std::abort();
    MatchResult car;
    car.status = 2;
    car.heading = 90;
    car.speedKmh = 60;
    for (const CGuidePoint::Point& p : points.Points()) {
        car.x = p.x - 100;
        car.y = p.y;
        points.Check(car, nullptr, nullptr);
        break;
    }
    return 0;
}
