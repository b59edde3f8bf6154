// The interest-stock file and the stock search text under arbitrary bytes. The first input byte
// splits the rest: a search text of that many bytes (at most 60), then the file. The keeper
// reads the file over a small stock store, every list is walked, the text is looked up, and the
// list is saved and read back unchanged: at most 20 stocks, names NUL-terminated within their
// field, the file 4 + 33 bytes per stock.
#include "config/NaviConfig.h"
#include "platform/files/DeviceRoot.h"
#include "traffic/pages/DARCStock.h"
#include "traffic/pages/SearchStock.h"
#include "traffic/receiver/Stock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// Three stocks (codes 1, 593 'A' and 7) and the four markets.
std::string Items() {
    std::string s = Le32(3);
    for (const auto& [key, name] : {std::pair<std::uint32_t, std::string>{0x100, "AB"},
                                    {0x700, "x"},
                                    {0x25141, std::string("\xBB\xEF\xBC\xBA")}}) {
        s += Le32(key) + std::string(1, static_cast<char>(name.size())) + name;
    }
    return s;
}

const std::string& Root() {
    static const std::string root = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/velko-stock-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directories(pattern + "/Map/DARC");
        std::filesystem::create_directories(pattern + "/My Documents/VelkoData");
        Write(pattern + "/Map/DARC/SIMID.bin", Items());
        Write(pattern + "/Map/DARC/SIMTable01.bin", std::string("\x01\x01K", 3));
        DeviceRoot::SetRoot(pattern);
        CStock::instance()->openFile(CString(u"\\Map"));
        return pattern;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& root = Root();
    DeviceRoot::SetRoot(root);
    const std::size_t textLength = size ? std::min<std::size_t>(data[0], 60) : 0;
    const std::size_t start = size ? 1 : 0;
    const std::size_t taken = std::min(textLength, size - start);
    const std::string text(reinterpret_cast<const char*>(data + start), taken);
    const std::string file(reinterpret_cast<const char*>(data + start + taken), size - start - taken);
    const std::string path = root + "/My Documents/VelkoData/stock.bin";
    Write(path, file);

    CNaviConfig config;
    config.SetDeviceType(0);
    config.SetValue(64, 0);
    CDARCStock::instance()->SetConfigPointer(&config);
    SearchStock* keeper = SearchStock::instance();
    const int count = keeper->GetStockInterestCount();
    if (count < 0 || count > SearchStock::kMaxInterest) __builtin_trap();
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        StockInterest s;
        if (!keeper->GetInfoForInterestSel(i, s)) __builtin_trap();
        if (s.name[StockIndex::kNameBytes] != 0) __builtin_trap();
        s.ChangeText();
        names.push_back(std::string(s.name, StockIndex::kNameBytes));
    }
    const int found = keeper->FindCodeOrName(text.c_str());
    if (found < -1 || found >= keeper->GetStockIndexCount()) __builtin_trap();
    StockMarket m;
    for (int i = 0; i < keeper->GetMarketCount(); ++i) keeper->GetStockMarketForIndex(i, m);
    keeper->AddInterest(593, 'A', text.c_str());
    keeper->Exit();

    const std::string saved = Read(path);
    if (saved.size() < 4 || (saved.size() - 4) % 33 != 0) __builtin_trap();
    SearchStock* again = SearchStock::instance();
    if (static_cast<std::size_t>(again->GetStockInterestCount()) != (saved.size() - 4) / 33) __builtin_trap();
    again->Exit();
    if (Read(path) != saved) __builtin_trap();
    CDARCStock::destruct();
    return 0;
}
