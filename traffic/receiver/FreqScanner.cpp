#include "traffic/receiver/FreqScanner.h"

#include "traffic/receiver/ReceiverUtil.h"

#include <cstring>
#include <mutex>

namespace {
std::atomic<CFreqScanner*> g_instance{nullptr};
std::mutex g_instanceLock;
constexpr char16_t kFreqFile[] = u"\\DARC\\Freq.bin";
constexpr int kBestRateFloor = 20; // a best rate above this is worth returning to
constexpr int kGoodRate = 51;      // a rate this high ends the search on the spot
} // namespace

CFreqScanner* CFreqScanner::instance() {
    CFreqScanner* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CFreqScanner();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CFreqScanner::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CFreqScanner::~CFreqScanner() { close(); }

void CFreqScanner::openFile(const CString& folder) {
    if (m_loaded) return;
    m_loaded = 1;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(folder + kFreqFile, bytes, 64 * 1024)) return;
    std::size_t at = 0;
    auto take = [&](std::size_t n) -> const unsigned char* {
        if (bytes.size() - at < n) return nullptr;
        const unsigned char* p = bytes.data() + at;
        at += n;
        return p;
    };
    std::vector<std::string> names;
    std::vector<std::uint8_t> ends, frequencies, search;
    const unsigned char* p = take(1);
    if (!p) return;
    int regions = *p;
    for (int i = 0; i < regions; ++i) {
        const unsigned char* len = take(1);
        if (!len) return;
        const unsigned char* text = take(*len);
        if (!text) return;
        names.emplace_back(reinterpret_cast<const char*>(text), *len);
    }
    const unsigned char* e = take(static_cast<std::size_t>(regions));
    if (!e) return;
    for (int i = 0; i < regions; ++i) {
        if (i > 0 && e[i] < e[i - 1]) return; // end indices must not go back
        ends.push_back(e[i]);
    }
    std::size_t listLength = regions > 0 ? ends.back() : 0;
    const unsigned char* f = take(listLength);
    if (!f) return;
    frequencies.assign(f, f + listLength);
    const unsigned char* m = take(1);
    if (!m) return;
    const unsigned char* s = take(*m);
    if (!s) return;
    search.assign(s, s + *m);
    m_names = std::move(names);
    m_regionEnds = std::move(ends);
    m_frequencies = std::move(frequencies);
    m_searchList = std::move(search);
}

int CFreqScanner::close() {
    m_names.clear();
    m_regionEnds.clear();
    m_searchList.clear();
    m_frequencies.clear();
    return 1;
}

void CFreqScanner::BuildCommand(unsigned char frequency, char* command) {
    command[0] = 0x02;
    command[1] = 0x35;
    command[2] = static_cast<char>(frequency);
    command[3] = static_cast<char>(static_cast<unsigned char>(0u - (0x35u + frequency)));
    command[4] = 0x03;
}

int CFreqScanner::StartSearch(unsigned char start) {
    if (m_searchList.empty()) {
        // Nothing to step through: the scanner stays idle.
        m_scanMode.store(0, std::memory_order_relaxed);
        m_searching.store(0, std::memory_order_relaxed);
        m_waiting.store(0, std::memory_order_relaxed);
        return 0;
    }
    m_start = start;
    m_index = 255;
    m_bestRate = 0;
    m_best = 0;
    for (std::size_t i = 0; i < m_searchList.size(); ++i)
        if (m_searchList[i] == start) m_index = static_cast<std::uint8_t>(i);
    m_startIndex = m_index;
    m_waiting.store(0, std::memory_order_relaxed);
    m_searching.store(1, std::memory_order_relaxed);
    m_scanMode.store(1, std::memory_order_relaxed);
    return 1;
}

int CFreqScanner::GetNextSentence(char* command, unsigned long& length) {
    if (m_searchList.empty() || !command) return 0;
    m_index = static_cast<std::uint8_t>((static_cast<int>(m_index) + 1) % static_cast<int>(m_searchList.size()));
    std::uint8_t frequency;
    if (m_index == m_startIndex) {
        m_searching.store(0, std::memory_order_relaxed);
        frequency = m_bestRate > kBestRateFloor ? m_best : m_start;
    } else {
        frequency = m_searchList[m_index];
    }
    m_current.store(frequency, std::memory_order_relaxed);
    BuildCommand(frequency, command);
    length = kCommandLength;
    return 1;
}

int CFreqScanner::SetReceiveRate(unsigned char rate, unsigned char frequency) {
    if (frequency != m_current.load(std::memory_order_relaxed)) return 0;
    if (rate > m_bestRate) {
        m_best = frequency;
        m_bestRate = rate;
    }
    if (rate < kGoodRate)
        m_waiting.store(0, std::memory_order_relaxed);
    else
        StopSearch();
    return 1;
}

void CFreqScanner::StopSearch() {
    m_scanMode.store(0, std::memory_order_relaxed);
    m_searching.store(0, std::memory_order_relaxed);
    m_waiting.store(0, std::memory_order_relaxed);
}

void CFreqScanner::SetNewFreq(int frequency) {
    m_manual.store(frequency, std::memory_order_relaxed);
    StopSearch();
}

int CFreqScanner::GetManualSentence(char* command, unsigned long& length) {
    int frequency = m_manual.exchange(-1, std::memory_order_relaxed);
    if (!command) return 0;
    BuildCommand(static_cast<unsigned char>(frequency), command);
    length = kCommandLength;
    return 1;
}

void CFreqScanner::GetLocalName(int region, char* name, int size) const {
    if (!name || size <= 0) return;
    name[0] = 0;
    if (region < 0 || region >= static_cast<int>(m_names.size())) return;
    const std::string& n = m_names[region];
    std::size_t count = n.size() < static_cast<std::size_t>(size - 1) ? n.size() : static_cast<std::size_t>(size - 1);
    std::memcpy(name, n.data(), count);
    name[count] = 0;
}

unsigned char CFreqScanner::GetNumOfFreq(int region) const {
    if (region < 0 || region >= static_cast<int>(m_regionEnds.size())) return 0;
    return m_regionEnds[region];
}

unsigned char CFreqScanner::GetFreq(int index) const {
    if (index < 0 || index >= static_cast<int>(m_frequencies.size())) return 0;
    return m_frequencies[index];
}
