// The weather store: current weather, short and weekly forecasts of the regions listed in the
// DARC folder's tables, and the reports of a region group that the weather pages show.
// Survives a restart through "\My Documents\Velko\WIMStore.bin" while it is younger than
// 1440 minutes. Records are written and copied under a short lock.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "traffic/receiver/WIM.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CWeather {
public:
    static constexpr unsigned char kCurrent = 16;
    static constexpr unsigned char kShort = 32;
    static constexpr unsigned char kWeekly = 48;
    static constexpr int kGroups = 12;

    static CWeather* instance();
    static void destruct();
    virtual ~CWeather() = default;
    CWeather(const CWeather&) = delete;
    CWeather& operator=(const CWeather&) = delete;

    void openFile(const CString& folder);
    int close();
    int setData(const unsigned char* payload, int length);
    int getWeatherByRegionAndDay(unsigned short region, unsigned char day, WIM& weather);
    int getIndex(unsigned short region, unsigned char table) const;
    static int getDateTime(unsigned short time, unsigned char* day, unsigned char* hour, unsigned char* minute);
    const char* getCurWeatherText(unsigned char code) const;
    const char* getForeWeatherText(unsigned char code) const;
    const char* getSpecialWeatherText(unsigned char code) const;
    int getLocalInfo(int group, int day, CString* report);
    int getToday(unsigned char& day) const; // 0 while not loaded or before a forecast
    void reset(int currentOnly);
    int GetLastUpdatedTime(CTime&) const { return 0; }

    // Records of a table (0 current, 1 short forecast, 2 weekly) and their region codes.
    int GetRecordCount(int table) const { return static_cast<int>(m_regions[table].records.size()); }
    unsigned short GetRecordCode(int table, int index) const {
        return m_regions[table].records[static_cast<std::size_t>(index)];
    }
    bool IsLoaded() const { return m_loaded.load() != 0; }

private:
    // One region table file: groups of region codes and the record codes with their names.
    struct RegionTable {
        std::vector<std::uint16_t> groupEnds;
        std::vector<std::uint16_t> list;
        std::vector<std::uint16_t> records;
        std::vector<std::string> names;
    };

    CWeather();
    // Reads the tables and the save file; false when a region table is missing or damaged.
    bool LoadTables(const CString& folder);
    void ResetLocked(int currentOnly);
    int IndexIn(const RegionTable& table, unsigned short region) const;
    void LoadSaveFile();
    static bool LoadRegionTable(const CString& path, RegionTable& table);
    static void LoadTexts(const CString& path, std::vector<std::string>& texts);
    static const char* TextOf(const std::vector<std::string>& texts, unsigned char code);

    mutable std::mutex m_lock;
    std::vector<WeatherCurrent> m_current;
    std::vector<WeatherShort> m_short;
    std::vector<WeatherWeek> m_weekly;
    std::vector<std::string> m_texts[3];
    RegionTable m_regions[3];
    std::atomic<std::uint8_t> m_today{255};
    std::uint32_t m_lastPacket = 0;
    std::atomic<int> m_loaded{0};
};
