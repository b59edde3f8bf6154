// A device root for fuzz targets: one folder under the temporary directory for the whole run;
// each input is written into it as the file under test.
#pragma once

#include "platform/files/DeviceRoot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& FuzzRoot() {
    static const std::string root = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velko-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        DeviceRoot::SetRoot(pattern);
        return pattern;
    }();
    return root;
}

inline void WriteFuzzFile(const std::string& relative, const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path p = FuzzRoot() + "/" + relative;
    std::filesystem::create_directories(p.parent_path());
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}
