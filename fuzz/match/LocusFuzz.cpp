// Loads arbitrary bytes as a driving trail file; a trail that loads must hold its segment and
// count in range and save back to exactly the bytes it came from.
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "position/LocusRecorder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string root = [] {
        const std::filesystem::path p = std::filesystem::temp_directory_path() / "velko_locus_fuzz";
        std::filesystem::create_directories(p);
        DeviceRoot::SetRoot(p.string());
        return p.string();
    }();
    // An odd first byte asks for a file of the right size: the rest of the input laid from the
    // end backwards (so the segment and count fields come from the input), zeros before it.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size > 0 && (data[0] & 1)) {
        bytes.erase(0, 1);
        if (bytes.size() > static_cast<std::size_t>(CLocusRecorder::kFileSize))
            bytes.resize(CLocusRecorder::kFileSize);
        bytes.insert(0, CLocusRecorder::kFileSize - bytes.size(), '\0');
    }
    {
        std::ofstream out(root + "/locus.bin", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    auto trail = std::make_unique<CLocusRecorder>();
    if (trail->Load(u"\\locus.bin")) {
        if (trail->CurrentSegment() < 0 || trail->CurrentSegment() >= CLocusRecorder::kSegments ||
            trail->PointCount() < 0 || trail->PointCount() > CLocusRecorder::kPointsPerSegment)
            std::abort();
        trail->AddPoint(45756000, 13500000);
        if (!trail->Save(u"\\again.bin")) std::abort();
        std::ifstream in(root + "/again.bin", std::ios::binary);
        const std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (back.size() != static_cast<std::size_t>(CLocusRecorder::kFileSize)) std::abort();
    } else if (trail->HasPoints() || trail->PointCount() != 0) {
        std::abort();
    }
    return 0;
}
