// Feeds arbitrary bytes to the skin archive reader as "ResData.bin": index it, then decode every
// entry it kept.
#include "platform/files/DeviceRoot.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviResArchive.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("velko-fuzz-skin-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir / "res");
        DeviceRoot::SetRoot(dir.string());
        return dir.string();
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/res/ResData.bin";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    for (const auto& [key, entry] : builder.GetArchive()->Index()) {
        std::unique_ptr<NaviBitmap> image(builder.LoadImage(entry.name));
    }
    return 0;
}
