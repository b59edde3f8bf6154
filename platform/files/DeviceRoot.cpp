#include "platform/files/DeviceRoot.h"

#include "platform/base/Text.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace DeviceRoot {

namespace {

// device.ini is a handful of lines; anything beyond this is not read.
constexpr std::size_t kMaxIniBytes = 1 << 20;
const char* const kDefaultCard = "Storage Card";
const char16_t kProgramPath[] = u"\\Program Files\\Velko\\Velko.exe";

struct State {
    std::mutex mutex;
    bool rootSet = false;
    std::string root;
    bool settingsLoaded = false;
    std::vector<std::pair<std::string, std::string>> settings; // lower-case key, value; file order
    std::map<std::string, std::string> overrides;
};

State& S() {
    // Never destroyed: worker threads may still resolve paths while the process exits.
    static State* state = new State;
    return *state;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(begin, end - begin);
}

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

bool Exists(const std::string& hostPath) {
    struct stat st;
    return ::lstat(hostPath.c_str(), &st) == 0;
}

// The entry of dir whose name equals name ignoring case. An exact match wins; among several
// case-insensitive matches the smallest name (byte order) is taken, so the choice is stable.
bool FindEntry(const std::string& dir, const std::string& name, std::string& found) {
    if (Exists(Join(dir, name))) {
        found = name;
        return true;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    const std::u16string wanted = Utf8ToUtf16(name);
    bool any = false;
    while (dirent* entry = ::readdir(d)) {
        const std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        // Folding keeps the UTF-8 length, so only names of the same length can match.
        if (candidate.size() != name.size()) continue;
        if (!SameNameIgnoringCase(Utf8ToUtf16(candidate), wanted)) continue;
        if (!any || candidate < found) found = candidate;
        any = true;
    }
    ::closedir(d);
    return any;
}

std::string AbsoluteDir(std::string dir) {
    if (dir.empty()) dir = ".";
    if (dir[0] != '/') {
        char buffer[PATH_MAX];
        if (::getcwd(buffer, sizeof buffer)) dir = Join(buffer, dir);
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string RootLocked(State& s) {
    if (!s.rootSet) {
        s.root = AbsoluteDir(DefaultRoot());
        s.rootSet = true;
    }
    return s.root;
}

// Reads DIR/device.ini (found case-insensitively). Missing file: no settings.
void LoadSettingsLocked(State& s) {
    s.settings.clear();
    s.settingsLoaded = true;
    const std::string root = RootLocked(s);
    std::string name;
    if (!FindEntry(root, "device.ini", name)) return;
    const int fd = ::open(Join(root, name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxIniBytes) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (text.size() > kMaxIniBytes) text.resize(kMaxIniBytes);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = LowerAscii(Trim(line.substr(0, eq)));
        if (key.empty() || key.find('\0') != std::string::npos) continue;
        s.settings.emplace_back(std::move(key), Trim(line.substr(eq + 1)));
    }
}

void EnsureSettingsLocked(State& s) {
    if (!s.settingsLoaded) LoadSettingsLocked(s);
}

std::vector<std::string> SettingsLocked(State& s, const std::string& key) {
    EnsureSettingsLocked(s);
    const std::string k = LowerAscii(key);
    if (auto it = s.overrides.find(k); it != s.overrides.end()) return {it->second};
    std::vector<std::string> values;
    for (const auto& [name, value] : s.settings)
        if (name == k) values.push_back(value);
    return values;
}

} // namespace

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
    // Latin-1 capitals (except the multiplication sign) fold 0x20 up.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    return c;
}

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

std::string DefaultRoot() {
    if (const char* env = std::getenv("VELKO_ROOT"); env && *env) return env;
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer)) return buffer;
    return ".";
}

void SetRoot(const std::string& hostDir) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    s.root = AbsoluteDir(hostDir);
    s.rootSet = true;
    LoadSettingsLocked(s);
}

const std::string& Root() {
    State& s = S();
    std::lock_guard lock(s.mutex);
    RootLocked(s);
    return s.root;
}

std::string Resolve(const std::u16string& cePath) {
    // The path ends at its first zero character, as the C-string API would see it.
    const std::u16string path = cePath.substr(0, cePath.find(u'\0'));
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find_first_of(u"\\/", pos);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(Utf16ToUtf8(part));
    }

    std::string host;
    {
        State& s = S();
        std::lock_guard lock(s.mutex);
        host = RootLocked(s);
    }
    bool existing = true;
    for (const std::string& part : parts) {
        std::string name = part;
        if (existing) {
            std::string found;
            if (FindEntry(host, part, found))
                name = found;
            else
                existing = false; // the rest is kept as given
        }
        host = Join(host, name);
    }
    return host;
}

std::string Resolve(const char16_t* cePath) {
    if (!cePath) return Resolve(std::u16string());
    return Resolve(std::u16string(cePath));
}

std::string Setting(const std::string& key, const std::string& fallback) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    const std::vector<std::string> values = SettingsLocked(s, key);
    return values.empty() ? fallback : values.back();
}

std::vector<std::string> Settings(const std::string& key) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    return SettingsLocked(s, key);
}

void OverrideSetting(const std::string& key, const std::string& value) {
    State& s = S();
    std::lock_guard lock(s.mutex);
    s.overrides[LowerAscii(key)] = value;
}

void ClearOverrides() {
    State& s = S();
    std::lock_guard lock(s.mutex);
    s.overrides.clear();
}

void ReloadSettings() {
    State& s = S();
    std::lock_guard lock(s.mutex);
    LoadSettingsLocked(s);
}

std::vector<std::string> CardFolders() {
    std::vector<std::string> cards = Settings("card");
    cards.erase(std::remove(cards.begin(), cards.end(), std::string()), cards.end());
    if (cards.empty()) cards.push_back(kDefaultCard);
    return cards;
}

bool IsCardFolder(const std::string& name) {
    const std::u16string wide = Utf8ToUtf16(name);
    for (const std::string& card : CardFolders())
        if (SameNameIgnoringCase(Utf8ToUtf16(card), wide)) return true;
    return false;
}

std::u16string ProgramPath() {
    return kProgramPath;
}

} // namespace DeviceRoot
