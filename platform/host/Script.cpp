#include "platform/host/Script.h"

#include "platform/base/Text.h"
#include "platform/files/InputFile.h"
#include "platform/window/Window.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ParseInt(const std::string& s, long long lo, long long hi, long long* out) {
    long long v = 0;
    int base = 10;
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        b += 2;
    } else if (!s.empty() && s[0] == '-') {
        // from_chars takes the sign itself
    }
    auto r = std::from_chars(b, e, v, base);
    if (r.ec != std::errc() || r.ptr != e || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// Splits a line into words; a double-quoted word keeps its spaces and takes \" \\ \n escapes.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string* error) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    const char n = line[i++];
                    c = n == 'n' ? '\n' : n;
                }
                word += c;
            }
            if (!closed) {
                *error = "unterminated quoted text";
                return false;
            }
            words.push_back("\"" + word); // marks a quoted word
            continue;
        }
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) word += line[i++];
        words.push_back(word);
    }
    return true;
}

bool SafeName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.')) return false;
    return name[0] != '.';
}

} // namespace

BYTE KeyFromName(const std::string& raw) {
    const std::string name = Upper(raw);
    static const std::map<std::string, BYTE> names = {
        {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},     {"UP", VK_UP},          {"DOWN", VK_DOWN},
        {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},    {"ESCAPE", VK_ESCAPE},  {"ESC", VK_ESCAPE},
        {"SPACE", VK_SPACE},   {"BACK", VK_BACK},       {"BACKSPACE", VK_BACK}, {"TAB", VK_TAB},
        {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},   {"ALT", VK_MENU},
        {"HOME", VK_HOME},     {"END", VK_END},         {"DELETE", VK_DELETE},  {"PRIOR", VK_PRIOR},
        {"NEXT", VK_NEXT},     {"APP1", VK_APP1},       {"APP2", VK_APP2},      {"APP3", VK_APP3},
        {"APP4", VK_APP4},     {"APP5", VK_APP5},       {"APP6", VK_APP6}};
    auto it = names.find(name);
    if (it != names.end()) return it->second;
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<BYTE>(name[0]);
    if (name.size() >= 2 && name[0] == 'F') {
        long long n = 0;
        if (ParseInt(name.substr(1), 1, 24, &n)) return static_cast<BYTE>(VK_F1 + n - 1);
    }
    long long v = 0;
    if (name.size() > 2 && name[0] == '0' && name[1] == 'X' && ParseInt("0x" + name.substr(2), 1, 254, &v))
        return static_cast<BYTE>(v);
    return 0;
}

bool ParseScript(const std::string& text, const std::string& baseDir, std::vector<ScriptCommand>& out,
                 std::string* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    std::vector<ScriptCommand> commands;
    auto fail = [&](const std::string& why) {
        if (error) *error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> w;
        std::string why;
        if (!SplitWords(line, w, &why)) return fail(why);
        if (w.empty()) continue;
        ScriptCommand c;
        c.line = number;
        const std::string verb = Upper(w[0]);
        auto point = [&](std::size_t at) {
            long long x = 0, y = 0;
            if (w.size() != at + 2 || !ParseInt(w[at], -1000, 10000, &x) ||
                !ParseInt(w[at + 1], -1000, 10000, &y))
                return false;
            c.x = static_cast<int>(x);
            c.y = static_cast<int>(y);
            return true;
        };
        if (verb == "TAP") {
            c.kind = ScriptCommand::Kind::Tap;
            if (!point(1)) return fail("tap needs X Y");
        } else if (verb == "PEN") {
            if (w.size() < 2) return fail("pen needs down, move or up");
            const std::string what = Upper(w[1]);
            if (what == "DOWN")
                c.kind = ScriptCommand::Kind::PenDown;
            else if (what == "MOVE")
                c.kind = ScriptCommand::Kind::PenMove;
            else if (what == "UP")
                c.kind = ScriptCommand::Kind::PenUp;
            else
                return fail("pen needs down, move or up");
            if (!point(2)) return fail("pen needs X Y");
        } else if (verb == "KEY") {
            c.kind = ScriptCommand::Kind::Key;
            if (w.size() < 2 || w.size() > 3) return fail("key needs a NAME");
            c.vk = KeyFromName(w[1]);
            if (!c.vk) return fail("unknown key " + w[1]);
            if (w.size() == 3) {
                const std::string mode = Upper(w[2]);
                if (mode == "DOWN")
                    c.keyMode = ScriptCommand::KeyMode::Down;
                else if (mode == "UP")
                    c.keyMode = ScriptCommand::KeyMode::Up;
                else
                    return fail("key mode must be down or up");
            }
        } else if (verb == "TEXT") {
            c.kind = ScriptCommand::Kind::Text;
            if (w.size() != 2 || w[1].empty() || w[1][0] != '"') return fail("text needs one quoted text");
            c.text = Utf8ToUtf16(w[1].substr(1));
        } else if (verb == "WAIT") {
            c.kind = ScriptCommand::Kind::Wait;
            long long ms = 0;
            if (w.size() != 2 || !ParseInt(w[1], 0, 24LL * 3600 * 1000, &ms))
                return fail("wait needs milliseconds");
            c.ms = static_cast<DWORD>(ms);
        } else if (verb == "SNAPSHOT") {
            c.kind = ScriptCommand::Kind::Snapshot;
            if (w.size() != 2 || !SafeName(w[1]))
                return fail("snapshot needs a NAME of letters, digits, - _ .");
            c.name = w[1];
        } else if (verb == "ANSWER") {
            c.kind = ScriptCommand::Kind::Answer;
            if (w.size() != 2) return fail("answer needs one answer");
            static const std::map<std::string, int> answers = {
                {"OK", IDOK},         {"CANCEL", IDCANCEL}, {"ABORT", IDABORT}, {"RETRY", IDRETRY},
                {"IGNORE", IDIGNORE}, {"YES", IDYES},       {"NO", IDNO}};
            auto it = answers.find(Upper(w[1]));
            long long n = 0;
            if (it != answers.end())
                c.answer = it->second;
            else if (ParseInt(w[1], 0, 100000, &n))
                c.answer = static_cast<int>(n);
            else
                return fail("unknown answer " + w[1]);
        } else if (verb == "SERIAL") {
            c.kind = ScriptCommand::Kind::SerialFeed;
            if (w.size() != 4 || Upper(w[1]) != "FEED") return fail("serial needs: feed COMn FILE");
            const std::string port = Upper(w[2]);
            long long n = 0;
            if (port.size() < 4 || port.substr(0, 3) != "COM" || !ParseInt(port.substr(3), 1, 99, &n))
                return fail("serial feed needs a port COM1 .. COM99");
            c.port = static_cast<int>(n);
            std::string file = w[3][0] == '"' ? w[3].substr(1) : w[3];
            c.file = (!file.empty() && file[0] == '/') || baseDir.empty() ? file : baseDir + "/" + file;
        } else if (verb == "ACTIVATE") {
            c.kind = ScriptCommand::Kind::Activate;
            if (w.size() != 2) return fail("activate needs a window class or title");
            c.name = w[1][0] == '"' ? w[1].substr(1) : w[1];
        } else if (verb == "QUIT") {
            c.kind = ScriptCommand::Kind::Quit;
            if (w.size() != 1) return fail("quit takes nothing");
        } else {
            return fail("unknown command " + w[0]);
        }
        commands.push_back(std::move(c));
    }
    out = std::move(commands);
    return true;
}

bool LoadScript(const std::string& path, std::vector<ScriptCommand>& out, std::string* error) {
    // Only a plain file within the limit: a folder, a pipe or an endless device is refused.
    constexpr std::size_t kMaxScriptBytes = 4u << 20;
    std::string text, why;
    InputFile file;
    if (!file.Open(path, kMaxScriptBytes, why)) {
        // The size is the one refusal a caller may act on by itself.
        std::error_code ec;
        const bool tooLarge = std::filesystem::is_regular_file(path, ec) &&
                              std::filesystem::file_size(path, ec) > kMaxScriptBytes;
        if (error) *error = (tooLarge ? "script too large: " : "cannot read the script ") + why;
        return false;
    }
    file.Close();
    if (!InputFile::ReadAll(path, kMaxScriptBytes, text, why)) {
        if (error) *error = "cannot read the script " + why;
        return false;
    }
    std::string base = path;
    const auto slash = base.find_last_of('/');
    base = slash == std::string::npos ? std::string(".") : base.substr(0, slash);
    return ParseScript(text, base, out, error);
}
