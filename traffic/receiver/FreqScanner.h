// The frequency scanner: the broadcast regions and their FM frequencies ("\DARC\Freq.bin"),
// the tuning command to the receiver unit, and the automatic search that steps through the
// search list, listens to the unit's receive-rate report on each frequency and settles on the
// best one. Frequency code c stands for (c + 844) / 10 MHz.
#pragma once

#include "platform/base/CString.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CFreqScanner {
public:
    static constexpr unsigned long kCommandLength = 5;

    static CFreqScanner* instance();
    static void destruct();
    virtual ~CFreqScanner();
    CFreqScanner(const CFreqScanner&) = delete;
    CFreqScanner& operator=(const CFreqScanner&) = delete;

    // Reads folder + "\DARC\Freq.bin" on the first call only. A file whose lengths, counts or
    // end indices do not fit leaves every table empty.
    void openFile(const CString& folder);
    int close();

    int StartSearch(unsigned char start);
    // The next search command (5 bytes into command); 0 with an empty search list.
    int GetNextSentence(char* command, unsigned long& length);
    int SetReceiveRate(unsigned char rate, unsigned char frequency);
    void StopSearch();
    void SetNewFreq(int frequency);
    int IsFreqChanged() const { return m_manual.load(std::memory_order_relaxed) != -1 ? 1 : 0; }
    int GetManualSentence(char* command, unsigned long& length);
    int IsScanMode() const { return m_scanMode.load(std::memory_order_relaxed); }
    void SetScanMode(int mode) { m_scanMode.store(mode, std::memory_order_relaxed); }
    int IsSearching() const { return m_searching.load(std::memory_order_relaxed); }
    int IsWaitingPacket() const { return m_waiting.load(std::memory_order_relaxed); }
    void SetWaitFlag(int flag) { m_waiting.store(flag, std::memory_order_relaxed); }

    unsigned char GetLocalNum() const { return static_cast<unsigned char>(m_regionEnds.size()); }
    // Copies the region's CP949 name with its NUL into a buffer of size bytes (cut to fit);
    // an empty name for a region outside.
    void GetLocalName(int region, char* name, int size) const;
    unsigned char GetNumOfFreq(int region) const;
    unsigned char GetFreq(int index) const;
    int GetCurrentFreq() const { return m_current.load(std::memory_order_relaxed); }

    // The 5-byte tuning command for a frequency code.
    static void BuildCommand(unsigned char frequency, char* command);

private:
    CFreqScanner() = default;

    std::uint8_t m_start = 0;
    std::uint8_t m_startIndex = 0;
    std::atomic<int> m_current{0};
    std::uint8_t m_best = 0;
    std::uint8_t m_bestRate = 0;
    std::uint8_t m_index = 0;
    std::atomic<int> m_scanMode{0};
    std::atomic<int> m_searching{0};
    std::atomic<int> m_waiting{0};
    std::atomic<int> m_manual{-1};
    std::vector<std::uint8_t> m_regionEnds;
    std::vector<std::uint8_t> m_searchList;
    std::vector<std::uint8_t> m_frequencies;
    std::vector<std::string> m_names;
    int m_loaded = 0;
};
