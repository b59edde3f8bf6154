// Running the application's dialogs in tests: the shared hosted run and sample skin, and the
// texts of the message boxes a run showed.
#pragma once

#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <sstream>
#include <string>

// The texts of the message boxes a run showed, one a line (the log's third field on).
inline std::string BoxTexts(const std::string& msgboxLog) {
    std::string boxes;
    std::istringstream lines(msgboxLog);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t second = line.find('\t', line.find('\t') + 1);
        boxes += line.substr(second + 1) + "\n";
    }
    return boxes;
}
