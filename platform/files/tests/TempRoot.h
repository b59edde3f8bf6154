// A throw-away device root for tests: a fresh folder under the temporary directory, made the
// device root for the life of the object and removed afterwards.
#pragma once

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempRoot {
public:
    explicit TempRoot(const std::string& base = "") {
        std::string parent = base;
        if (parent.empty()) {
            const char* tmp = std::getenv("TMPDIR");
            parent = tmp && *tmp ? tmp : "/tmp";
        }
        std::string pattern = parent + "/velko-root-XXXXXX";
        if (::mkdtemp(pattern.data())) m_path = pattern;
        EXPECT_FALSE(m_path.empty()) << "cannot make a folder under " << parent;
        DeviceRoot::ClearOverrides();
        DeviceRoot::SetRoot(m_path);
    }
    ~TempRoot() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Host(const std::string& relative) const { return m_path + "/" + relative; }

    // Writes a file (and its folders) below the root.
    void MakeFile(const std::string& relative, const std::string& content) const {
        const std::filesystem::path p = Host(relative);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << content;
    }
    std::string ReadHost(const std::string& hostPath) const {
        std::ifstream in(hostPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string Read(const std::string& relative) const { return ReadHost(Host(relative)); }
    bool Exists(const std::string& relative) const {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(Host(relative), ec));
    }
    static std::string Utf8(const char16_t* text) { return Utf16ToUtf8(text); }

private:
    std::string m_path;
};
