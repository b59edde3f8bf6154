// Shared set-up of the network reader tests: a throw-away device root holding a MapData
// folder, and the engine error log's lines.
#pragma once

#include "route/base/ErrorLog.h"
#include "platform/files/tests/TempRoot.h"
#include "route/tests/HandNetwork.h"

#include <fstream>
#include <string>
#include <vector>

class NetRoot {
public:
    NetRoot() {
        ErrorLog::Instance().SetEnabled(1);
        ErrorLog::Instance().SetFileName("/ErrorLog.txt");
        std::filesystem::remove(Dir() / "ErrorLog.txt");
    }
    std::filesystem::path Dir() const { return m_root.Path(); }
    std::filesystem::path MrData() const { return Dir() / "MapData" / "MRData"; }
    // The data folder as the device sees it.
    static const char16_t* Folder() { return u"\\MapData"; }

    void Write(const std::map<std::string, handnet::Bytes>& files) const {
        handnet::WriteFiles(MrData(), files);
    }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::ifstream in(Dir() / "ErrorLog.txt");
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool Logged(const std::string& text) const {
        for (const std::string& l : LogLines())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

private:
    TempRoot m_root;
};
