// The configuration store: every user setting as 200 32-bit values, the names of the day and
// night map colour schemes, the data folder, the two storage roots for user data (the
// handheld's own memory and the storage card) and the names of the user-data items kept under
// them. One object per process, reached through GetInstance.
//
// The settings file ("config.bin", little-endian, 1004 bytes): the mark 100, settings 0-199 as
// int32, then the day and the night scheme names as 50 UTF-16 units each.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/threads/Threads.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CNaviConfig {
public:
    static constexpr int kSettingCount = 200;
    static constexpr int kNameChars = 50; // 100 bytes
    static constexpr int kFileSize = 1004;
    static constexpr std::int32_t kFileMark = 100;
    static constexpr int kOldDatabases = 15;

    static CNaviConfig* GetInstance();
    static void DestroyInstance();

    CNaviConfig();
    ~CNaviConfig();
    CNaviConfig(const CNaviConfig&) = delete;
    CNaviConfig& operator=(const CNaviConfig&) = delete;

    // The device type and key layout come before Load: they choose the default paths and the
    // device defaults. Setting the device type sets the default paths again.
    void SetDeviceType(int deviceType);
    int GetDeviceType() const { return m_deviceType; }
    void SetKeyLayout(int keyLayout) { m_keyLayout = keyLayout; }
    int GetKeyLayout() const { return m_keyLayout; }

    // Stores the data folder, finds and reads the settings file, or imports the old profile
    // databases (saving the settings before deleting them). Setting 2 is 0 afterwards.
    // A settings file that cannot be read whole is rejected: it is renamed to "<name>.bad" beside
    // itself (replacing an older one) so that no later save overwrites it, and the values it
    // still holds whole (a file cut short after a good mark) are kept over the defaults and saved.
    void Load(const char16_t* dataFolder);
    // Writes the settings file of the storage (-1 current, 0 memory, 1 card) aside and renames
    // it over the old one, making the storage folder when it is missing. False on failure, and
    // while a rejected settings file could not yet be moved out of the way.
    bool SaveSettings(int storage);

    // What the last Load found: no settings file, a file read whole, or a rejected one.
    enum class FileState { None, Read, Rejected };
    FileState GetFileState() const { return m_fileState; }
    // Where a rejected file was kept (empty when it could not be moved).
    const CString& GetRejectedCopy() const { return m_rejectedCopy; }

    // Setting i (0-199); outside that range reads 0 and writes nothing.
    std::int32_t GetValue(int index) const;
    void SetValue(int index, std::int32_t value);

    CString GetItemPath(const char16_t* item, int storage) const;
    const char16_t* GetDataFolder() const { return m_dataFolder; }

    void SetMapColorName(const char16_t* key, const char16_t* name);
    // Copies the 100-byte name into buffer; false (buffer untouched) for any other key.
    bool GetMapColorName(const char16_t* key, char16_t* buffer) const;

    bool IsBroadcastTrafficOn() const;
    bool UsesHighSpeedPort() const;
    void GetValues18To20(std::int32_t& a, std::int32_t& b, std::int32_t& c) const;
    void GetRoadClassSpeeds(std::int16_t speeds[5]) const;
    void SetButtonFunctions(const std::uint16_t slots[4]);
    void GetButtonFunctions(std::uint16_t slots[4]) const;
    void GetMultiRouteOptions(std::int32_t options[4]) const;
    void SetMultiRouteOptions(const std::int32_t options[4]);
    void SetTrafficRerouteInterval(int listIndex);
    int GetTrafficRerouteIntervalIndex() const;
    CString GetComPortName() const;
    void SetBaudRate(int bitsPerSecond);
    int GetBaudRate() const;
    int GetReceiverMode() const;
    void SetServiceFlags(const std::uint8_t flags[4]);
    void GetServiceFlags(std::uint8_t flags[4]) const;
    bool AnyServiceOn() const;
    int GetInitialMenuCommand() const;
    int GetSimulationSpeed() const;
    int GetEventStringMode() const;
    // Written by the traffic update worker, read by the user-interface thread.
    void SetTrafficValidFlag(std::uint8_t flag) { m_trafficValid.store(flag, std::memory_order_relaxed); }
    std::uint8_t GetTrafficValidFlag() const { return m_trafficValid.load(std::memory_order_relaxed); }

    // The settings file's bytes for the current values, and their reading (false leaves the
    // values untouched): the mark must be 100 and all 1004 bytes present.
    void PackSettings(std::uint8_t bytes[kFileSize]) const;
    bool UnpackSettings(const std::uint8_t* bytes, std::size_t length);

    // The old-profile import: old values 0-44 into the settings.
    void ApplyOldValues(const std::int16_t oldValues[45]);

private:
    void SetDefaultPaths();
    void SetDefaults();
    CString FindSettingsFile() const;
    bool ImportOldProfile();
    const char16_t* RootOf(int storage) const;
    // Takes the complete fields of a settings file cut short after its mark.
    void UnpackCompleteFields(const std::uint8_t* bytes, std::size_t length);
    bool KeepRejectedFile();

    std::atomic<std::uint8_t> m_trafficValid{0};
    std::int16_t m_oldValues[45] = {};
    std::int32_t m_deviceType = 0;
    std::int32_t m_keyLayout = 0;
    std::int32_t m_settings[kSettingCount] = {};
    CCriticalSection m_lock;
    std::unique_ptr<CSingleLock> m_singleLock;
    [[maybe_unused]] std::int32_t m_reserved = 0;
    char16_t m_dataFolder[kNameChars] = {};
    char16_t m_dayScheme[kNameChars] = {};
    char16_t m_nightScheme[kNameChars] = {};
    char16_t m_memoryRoot[kNameChars] = {};
    char16_t m_cardRoot[kNameChars] = {};
    char16_t m_routeFolderName[kNameChars] = {};
    char16_t m_positionName[kNameChars] = {};
    char16_t m_safePointName[kNameChars] = {};
    char16_t m_removedSafePointName[kNameChars] = {};
    char16_t m_settingsFileName[kNameChars] = {};
    char16_t m_roadsName[kNameChars] = {};
    char16_t m_stocksName[kNameChars] = {};
    char16_t m_oldPositions[kNameChars] = {};
    char16_t m_oldPositions2[kNameChars] = {};
    char16_t m_oldSafePoints[kNameChars] = {};
    char16_t m_oldRemovedSafePoints[kNameChars] = {};
    char16_t m_oldSettingsFileName[kNameChars] = {};
    char16_t m_oldStocks[kNameChars] = {};
    char16_t m_oldRoads[kNameChars] = {};
    FileState m_fileState = FileState::None;
    CString m_rejectedFile;
    CString m_rejectedCopy;
};
