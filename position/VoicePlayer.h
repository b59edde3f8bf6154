// The voice prompt player: joins short PCM clips from the three clip files of the "Wave" folder
// (main clips, named additional clips, fixed messages) into one WAV image and hands it to the
// sound player. Prompts play synchronously without interrupting a sound in progress (the voice
// thread waits for them); messages, additional prompts and the speed beep play asynchronously.
//
// The guidance step (GPS thread) publishes its state and requests here and the voice thread
// plays them; everything the two threads share sits behind one lock, and the voice thread works
// on a copy taken under it, so the lock is never held while a sound plays.
#pragma once

#include "position/GuideRecords.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CVoicePlayer {
public:
    static constexpr int kMainClips = 206;
    static constexpr int kAddClips = 414;
    static constexpr int kMessages = 24;
    static constexpr int kCodes = 69;
    static constexpr std::size_t kPromptBuffer = 614400;
    static constexpr std::size_t kMessageSamples = 102356;
    static constexpr int kHeaderSize = 44;

    // What one guidance step leaves for the voice thread.
    struct Guidance {
        std::uint8_t restart = 1;
        std::uint8_t newManoeuvre = 0;
        std::uint8_t waypointArmed = 1;
        std::uint8_t arrivalArmed = 0;
        std::int32_t carItem = -1;
        std::int32_t nextGuide = -1;
        std::int32_t nextGuide1 = -1;
        PromptRequest request;
        HighwayRecord direction;
        bool promptRequested = false; // the step chose a new manoeuvre prompt
        GuidePointNotice guidePoint;
        bool alertFound = false;
        RestAreaRecord facility;
    };

    struct ClipEntry {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    CVoicePlayer();
    ~CVoicePlayer();
    CVoicePlayer(const CVoicePlayer&) = delete;
    CVoicePlayer& operator=(const CVoicePlayer&) = delete;

    void SetDataFolder(const std::u16string& folder);
    const std::u16string& DataFolder() const { return m_folder; }
    // Opens the clip files; with reload the three indexes are read again. True when all three
    // clip files are usable.
    bool Load(bool reload);
    bool IsLoaded() const { return m_loaded; }
    void SetPlaySound(bool on) { m_playSound = on; }
    void SetPedestrian(bool on);

    // Writes the 44-byte header of a PCM image of total bytes (header included) into buffer.
    static void MakeWavHeader(std::uint32_t total, std::uint8_t* buffer);
    // The clips of a row of the sequence table (code 0..68); count 0 for an empty row.
    static int Row(int code, const int*& clips);

    // Plays a manoeuvre request with optional junction name clips (six, additional clip ids).
    bool PlayRequest(const PromptRequest& request, const std::int32_t* nameClips = nullptr);
    // Plays the fixed prompt of code 59..62.
    bool PlayFixed(int code);
    // Guide points and the speed beep (distance clip 0 with code 0 plays the beep).
    bool PlayPrompt(int distanceClip, int code, int directionMode, int pointIndex, int speedLimit);
    bool PlayUserPoint(int kind);
    bool PlayFacility(const RestAreaRecord& facility);
    bool PlayAddWav(int id);
    bool PlayMessage(int id);

    // The guidance step's side.
    void Publish(const Guidance& guidance);
    Guidance Snapshot() const;
    void SetUserMessage(int kind);
    int UserMessage() const;
    int TakeUserMessage();
    // The voice thread's side: plays what the last step left.
    void PlayPending(const Guidance& guidance);
    void AnnounceGuidePoint(const GuidePointNotice& notice);
    void AnnounceFacility(const RestAreaRecord& facility);

    void ClearPending();
    bool IsSameRequest(const PromptRequest& request, int guideIndex) const;
    int LastPlayedIndex() const;  // next guide index + 1 of the last played prompt
    int LastFixedCode() const;    // code of the last played fixed prompt (0 none)
    bool IsLastAnnouncedPoint(int directionMode, int distanceClip, int index) const;
    void ClearFacility();
    PromptRequest StoredRequest() const;

private:
    struct ClipFile {
        std::vector<ClipEntry> table;
        std::u16string path;
        std::uint32_t shift = 0;
        std::uint64_t size = 0;
        bool usable = false;
    };
    enum Source { kMain, kAdd, kMsg };
    struct Clip {
        Source source;
        int id;
    };

    bool ReadIndex(const char16_t* name, int entries, ClipFile& file);
    bool OpenData(const char16_t* name, ClipFile& file);
    std::u16string PathOf(const char16_t* name) const;
    const ClipEntry* EntryOf(const Clip& clip) const;
    // Joins the clips into the prompt buffer; false when nothing can be played.
    bool Assemble(const std::vector<Clip>& clips, std::vector<std::uint8_t>& image) const;
    bool Play(const std::vector<Clip>& clips, bool async);
    static void AppendRow(std::vector<Clip>& clips, int code, bool dropFirst);
    void Played(const PromptRequest& request);

    bool m_loaded = false;
    bool m_playSound = true;
    std::u16string m_folder;
    std::u16string m_beepPath;
    ClipFile m_files[3];

    mutable std::mutex m_lock;
    // Shared with the guidance step (under m_lock).
    bool m_pedestrian = false;
    Guidance m_guidance;
    int m_userMessage = 0;
    int m_lastIndex = -1;  // next guide index of the last played prompt
    int m_lastIndex1 = -1; // and that index + 1
    int m_lastFixed = 0;
    PromptRequest m_stored;
    int m_lastPointMode = 0, m_lastPointClip = 0, m_lastPointIndex = -1;
    bool m_limitSaid = false;
    RestAreaRecord m_lastFacility;
};
