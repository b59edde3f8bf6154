// Guidance along a saved route after each matched fix, into a recording sound output; prints the
// guidance state per fix and every sound played with the clips recovered from its image.
// velko-gpsmatch --guide runs it in simulated time, one fix a second, with the voice pass after
// each step; velko-gpsreader --route runs it on the reader thread in real time while the voice
// loop calls ProcessVoice.
#pragma once

#include "position/MatchResult.h"

#include <memory>
#include <string>

class GuideRun {
public:
    // dataFolder: the map data folder (a device path); routePath: the saved route file (host
    // path); wavDir: where each sound's image is written (empty: nowhere). Opens the voice files
    // and facility tables of the map data.
    // realTime: the system clock runs and the voice pass is left to ProcessVoice.
    static std::unique_ptr<GuideRun> Open(const std::u16string& dataFolder, const std::string& routePath,
                                          const std::string& wavDir, bool realTime, std::string& error);
    virtual ~GuideRun() = default;
    // One fix: guidance, the display records (and in simulated time the voice pass); prints what
    // happened and the sounds played since the last fix.
    virtual void Fix(const MatchResult& match) = 0;
    // The voice loop's pass (real time); nothing once the goal was reached.
    virtual void ProcessVoice() = 0;
    // Prints the sounds played and not yet printed.
    virtual void PrintSounds() = 0;
};
