// velko-gpsdecode: decodes a receiver log through the program's own decoders and prints one line
// per position record.
//
//   velko-gpsdecode [--unit] [--no-datum-shift] LOG
//
// LOG holds NMEA text, or the receiver unit's frames with --unit; the program's raw log is
// recognised by its "Start_Log" header, which is skipped. A log that holds no position record
// prints "records=0".
#include "platform/files/InputFile.h"
#include "tools/gpsdecode/LogDecoder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Receiver logs of a long drive are some hundreds of megabytes at most (the log is read in
// blocks, so the limit is not one of memory).
constexpr std::uint64_t kMaxLogBytes = 1ull << 30;

int Usage() {
    std::fprintf(stderr, "usage: velko-gpsdecode [--unit] [--no-datum-shift] LOG\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool unit = false;
    bool noShift = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unit") == 0)
            unit = true;
        else if (std::strcmp(argv[i], "--no-datum-shift") == 0)
            noShift = true;
        else if (argv[i][0] == '-' && argv[i][1] != 0)
            return Usage();
        else if (!path)
            path = argv[i];
        else
            return Usage();
    }
    if (!path) return Usage();
    InputFile log;
    std::string error;
    if (!log.Open(path, kMaxLogBytes, error)) {
        std::fprintf(stderr, "velko-gpsdecode: %s\n", error.c_str());
        return 2;
    }
    CLogDecoder decoder(unit, noShift);
    if (!decoder.Run(log, stdout, error)) {
        std::fprintf(stderr, "velko-gpsdecode: %s: %s\n", path, error.c_str());
        return 1;
    }
    // A log without a single position record (empty, or not a receiver log at all) is still a
    // log: its result is said rather than left as empty output.
    if (decoder.Records() == 0) std::printf("records=0\n");
    return 0;
}
