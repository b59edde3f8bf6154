// The link-speed store: the current broadcast speed of every road link the traffic broadcast
// can report, keyed by the 32-bit link id of "\MRDATA\DARCLINK.bin" and addressed by its
// 16-bit position in that table. Speeds arrive from traffic packets and downloads, survive a
// restart through "\My Documents\Velko\STIStore.bin" while it is fresh, and expire after
// 15 minutes. The index queries (map colours, route speeds) take no lock and allocate nothing:
// the fields of a record that other threads read are relaxed atomics, so a reader sees the
// speed of the previous or of the next packet.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "traffic/receiver/TrafficDownload.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CTraffic {
public:
    // Colours of the four speed classes (0x00BBGGRR).
    static constexpr unsigned long kColourFast = 0xDC0000;      // 원활
    static constexpr unsigned long kColourMoving = 0x00B93D;    // 서행
    static constexpr unsigned long kColourSlow = 0x1894C9;      // 지체
    static constexpr unsigned long kColourCongested = 0x8000FF; // 정체
    static constexpr int kFreshMinutes = 15;

    static CTraffic* instance();
    static void destruct();

    virtual ~CTraffic();
    CTraffic(const CTraffic&) = delete;
    CTraffic& operator=(const CTraffic&) = delete;

    // Loads the link table of folder and, when fresh, the save file.
    void openFile(const CString& folder);
    // Writes the save file (aside, then renamed over the old one); 0 when not loaded or when
    // the file cannot be written.
    int close();
    // A traffic packet of length bytes: four (big-endian link id, speed) entries from byte 2.
    int setData(const unsigned char* payload, int length);

    int getRealSpeedByID(unsigned long id, unsigned char& speed) const;
    int getRealSpeedByIdx(unsigned short index, unsigned char& speed) const;
    int getSpeedByIdx(unsigned short index, unsigned char& speed) const;
    int getLinkColorByIdx(unsigned short index, unsigned long& colour) const;
    void getMapDir(CString& folder) const { folder = m_mapDir; }
    int isDataAvailable(int percent) const;
    int getAverSpeedByType(char roadClass, unsigned char& average) const;
    int fakeSpeedByIdx(int count, const unsigned short* indices, unsigned char speed);
    int unfakeAll();
    void reset();
    int GetLastUpdatedTime(CTime& time) const;
    void UpdateTrafficDB();
    int LoadHighWayTraffic(const TrafficDownload& download);
    void SetTrafficValidTime(int minutes) { m_validMinutes.store(minutes, std::memory_order_relaxed); }
    int GetTrafficValidTime() const { return m_validMinutes.load(std::memory_order_relaxed); }
    int getDarcIDByIdx(unsigned short index, unsigned long& id) const;
    void SetDisplayOnOff(const bool* flags);

    int GetLinkCount() const { return IsLoaded() ? m_linkCount : 0; }
    // The override of a link set by fakeSpeedByIdx (255 = none); 0 for an index outside.
    int GetFakeSpeedByIdx(unsigned short index, unsigned char& speed) const;

    // Which speed classes are drawn: [0] 원활, [1] 서행, [2] 지체, [3] 정체. The application
    // writes them at any time.
    std::atomic<std::uint8_t> m_display[4];

private:
    struct Record {
        std::atomic<std::uint32_t> time{0};
        std::uint32_t id = 0;
        std::atomic<std::uint8_t> speed{0};
        std::atomic<std::uint8_t> reserved{0};
        std::atomic<std::uint8_t> flags{0};
        std::atomic<std::uint8_t> spare{0};
    };
    static constexpr std::uint8_t kReceived = 0x80;

    CTraffic();
    bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire) != 0; }
    int IsHighWay(unsigned short index) const;
    int setSTISpeed(unsigned long id, unsigned char speed, std::uint32_t now);
    int findLinkIndex(unsigned long id) const;
    void LoadSaveFile();
    void FreeTables();

    std::atomic<int> m_validMinutes{15};
    int m_linkCount = 0;
    std::unique_ptr<Record[]> m_records;
    std::unique_ptr<std::uint32_t[]> m_ids; // the records' ids again, for the bisection
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_overrides;
    CString m_mapDir;
    std::atomic<int> m_loaded{0};
};
