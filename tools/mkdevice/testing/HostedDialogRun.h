// Running skinned dialogs in tests: the headless host around a body that runs a dialog with a
// script of taps and answers, and the sample skin's archive (every manifest image drawn at its
// size) so that controls have their images, sizes and places. Test targets that use it define
// VELKO_SKIN_MANIFESTS, the folder of the skin manifests.
#pragma once

#include "platform/files/tests/TempRoot.h"
#include "platform/host/HeadlessHost.h"
#include "tools/mkdevice/SkinStage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct HostedRun {
    int code = -1;
    bool failed = false;
    std::string failure;
    std::string msgboxLog;
};

inline HostedRun RunHosted(TempRoot& root, const std::string& script, const std::function<int()>& body) {
    root.MakeFile("run.script", script);
    HostOptions options;
    options.script = root.Host("run.script");
    options.outDir = root.Host("out");
    HeadlessHost host(options);
    std::string error;
    EXPECT_TRUE(host.Prepare(&error)) << error;
    HostedRun run;
    host.Run([&] {
        run.code = body();
        return 0;
    });
    run.failed = host.Failed();
    run.failure = host.Failure();
    if (run.failed) {
        std::ifstream hostLog(root.Host("out/host.log"));
        std::stringstream hostText;
        hostText << hostLog.rdbuf();
        run.failure += "\n" + hostText.str();
    }
    std::ifstream log(root.Host("out/msgbox.log"));
    std::stringstream text;
    text << log.rdbuf();
    run.msgboxLog = text.str();
    return run;
}

// The sample skin's archive: every manifest image drawn at its size, so controls have their places.
inline const std::string& SampleSkin() {
    static const std::string archive = [] {
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> images;
        for (const auto& file : std::filesystem::directory_iterator(VELKO_SKIN_MANIFESTS)) {
            if (file.path().extension() != ".txt") continue;
            for (const mkdev::SkinImageSpec& spec : mkdev::ReadSkinManifest(file.path().string()))
                images.emplace_back(spec.name, mkdev::DrawSkinImage(spec));
        }
        const std::vector<std::uint8_t> bytes = mkdev::PackSkinArchive(images);
        return std::string(bytes.begin(), bytes.end());
    }();
    return archive;
}

