// Loads arbitrary bytes as a driving trail file; a trail that loads must hold its segment and
// count in range and save back to exactly the size of the file. The input is a memory file that
// the trail opens and reads as on disk; the save goes to a scratch root on a memory file system
// where there is one (/dev/shm), so no input costs a disk write.
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/MemoryFiles.h"
#include "position/LocusRecorder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

std::string& Root() {
    static std::string root;
    return root;
}

void RemoveRoot() {
    std::error_code ec;
    std::filesystem::remove_all(Root(), ec);
}

void SetUpRoot() {
    if (!Root().empty()) return;
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
    std::string pattern = (base / "velko-fuzz-locus-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    Root() = pattern;
    DeviceRoot::SetRoot(pattern);
    std::atexit(RemoveRoot);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetUpRoot();
    // An odd first byte asks for a file of the right size: the rest of the input laid from the
    // end backwards (so the segment and count fields come from the input), zeros before it.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size > 0 && (data[0] & 1)) {
        bytes.erase(0, 1);
        if (bytes.size() > static_cast<std::size_t>(CLocusRecorder::kFileSize))
            bytes.resize(CLocusRecorder::kFileSize);
        bytes.insert(0, CLocusRecorder::kFileSize - bytes.size(), '\0');
    }
    if (!MemoryFiles::Put(u"\\locus.bin", bytes.data(), bytes.size())) std::abort();
    auto trail = std::make_unique<CLocusRecorder>();
    if (trail->Load(u"\\locus.bin")) {
        if (trail->CurrentSegment() < 0 || trail->CurrentSegment() >= CLocusRecorder::kSegments ||
            trail->PointCount() < 0 || trail->PointCount() > CLocusRecorder::kPointsPerSegment)
            std::abort();
        trail->AddPoint(45756000, 13500000);
        if (!trail->Save(u"\\again.bin")) std::abort();
        HANDLE h = CreateFileW(u"\\again.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) std::abort();
        const DWORD saved = GetFileSize(h, nullptr);
        CloseHandle(h);
        if (saved != static_cast<DWORD>(CLocusRecorder::kFileSize)) std::abort();
    } else if (trail->HasPoints() || trail->PointCount() != 0) {
        std::abort();
    }
    return 0;
}
