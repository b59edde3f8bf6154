// Feeds arbitrary bytes to the area lookup as Admin.db (with small valid name tables beside it)
// and looks up points spread over the whole grid.
#include "admin/AdminSearch.h"
#include "platform/files/DeviceRoot.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

void WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

const std::string& Folder() {
    static const std::string folder = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("velko-fuzz-admin-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir);
        DeviceRoot::SetRoot(dir.string());
        const std::string names(36, '\xB0');
        WriteFile((dir / "Gu.bin").string(), names.data(), names.size());
        WriteFile((dir / "Dong.bin").string(), names.data(), names.size());
        return dir.string();
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(Folder() + "/Admin.db", data, size);
    CAdminSearch search;
    if (!search.OpenTbl("\\")) return 0;
    char answer[25];
    for (long x = 1; x < 576000; x += 47999)
        for (long y = 1; y < 660000; y += 54999) {
            search.DoSrch(x, y, answer);
            search.GetGuName(x + 11998, y + 9998, answer);
        }
    return 0;
}
