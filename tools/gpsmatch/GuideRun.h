// velko-gpsmatch --guide: guidance along the followed route after each matched fix, in simulated
// time, into a recording sound output; prints the guidance state per fix and every sound played
// with the clips recovered from its image.
#pragma once

#include "position/MatchResult.h"

#include <memory>
#include <string>

class GuideRun {
public:
    // dataFolder: the map data folder (a device path); routePath: the saved route file (host
    // path); wavDir: where each sound's image is written (empty: nowhere). Opens the voice files
    // and facility tables of the map data.
    static std::unique_ptr<GuideRun> Open(const std::u16string& dataFolder, const std::string& routePath,
                                          const std::string& wavDir, std::string& error);
    virtual ~GuideRun() = default;
    // One fix: guidance, the display records, the voice thread's pass; prints what happened.
    virtual void Fix(const MatchResult& match) = 0;
};
