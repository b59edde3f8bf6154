#include "position/VoicePlayer.h"

#include "platform/sound/Sound.h"
#include "position/SoundIndex.h"
#include "route/MRFormat.h"
#include "route/base/BinFile.h"

#include <algorithm>
#include <cstring>

namespace {

// The sequence table: per prompt code, the count and the main clips that say it.
struct Row {
    int count;
    int clips[5];
};
constexpr Row kRows[CVoicePlayer::kCodes] = {
    {0, {}},                   {0, {}},                   {1, {146}},                // 0-2
    {3, {36, 68, 70}},         {4, {35, 59, 68, 70}},     {4, {35, 60, 68, 70}},     // 3-5
    {2, {36, 71}},             {3, {37, 57, 67}},         {3, {37, 58, 67}},         // 6-8
    {3, {36, 68, 69}},         {4, {35, 59, 68, 69}},     {4, {35, 60, 68, 69}},     // 9-11
    {2, {37, 74}},             {2, {37, 75}},             {2, {37, 76}},             // 12-14
    {2, {37, 55}},             {3, {37, 53, 67}},         {3, {37, 42, 67}},         // 15-17
    {3, {37, 43, 67}},         {3, {37, 44, 67}},         {3, {37, 45, 67}},         // 18-20
    {3, {37, 46, 67}},         {3, {37, 47, 67}},         {3, {37, 48, 67}},         // 21-23
    {3, {37, 49, 67}},         {3, {37, 50, 67}},         {3, {37, 51, 67}},         // 24-26
    {3, {37, 52, 67}},         {2, {37, 61}},             {4, {37, 74, 38, 61}},     // 27-29
    {4, {37, 75, 38, 61}},     {2, {37, 64}},             {4, {37, 74, 38, 64}},     // 30-32
    {4, {37, 75, 38, 64}},     {2, {37, 65}},             {4, {37, 74, 38, 66}},     // 33-35
    {4, {37, 75, 38, 65}},     {2, {37, 66}},             {4, {37, 74, 38, 65}},     // 36-38
    {4, {37, 75, 38, 66}},     {2, {37, 77}},             {2, {37, 82}},             // 39-41
    {2, {36, 78}},             {2, {36, 79}},             {2, {36, 80}},             // 42-44
    {2, {36, 81}},             {4, {35, 56, 42, 67}},     {4, {35, 56, 43, 67}},     // 45-47
    {4, {35, 56, 44, 67}},     {4, {35, 56, 45, 67}},     {4, {35, 56, 46, 67}},     // 48-50
    {4, {35, 56, 47, 67}},     {4, {35, 56, 48, 67}},     {4, {35, 56, 49, 67}},     // 51-53
    {4, {35, 56, 50, 67}},     {4, {35, 56, 51, 67}},     {4, {35, 56, 52, 67}},     // 54-56
    {4, {35, 56, 53, 67}},     {2, {2, 55}},              {3, {36, 83, 85}},         // 57-59
    {3, {36, 84, 85}},         {4, {36, 84, 87, 86}},     {4, {36, 84, 85, 86}},     // 60-62
    {3, {37, 54, 185}},        {3, {37, 57, 185}},        {3, {37, 58, 185}},        // 63-65
    {4, {54, 185, 68, 70}},    {4, {57, 185, 68, 70}},    {4, {58, 185, 68, 70}},    // 66-68
};

constexpr int kCloseClip = 34;   // "the manoeuvre is close": replaces the row's first clip
constexpr int kNoDistance = 2;   // no distance phrase: also drops the row's first clip
constexpr int kFacilityLead = 36;
constexpr int kNamesEnd = 184;
constexpr int kFacilityKind2 = 187;
constexpr int kFacilityKind0 = 198;
constexpr int kExtrasEnd = 119;
constexpr int kLimitOpen = 146, kLimitClose = 134;
constexpr int kUserOpen = 118, kUserClose = 119;
constexpr int kAddPromptEnd = 173;

void Put32(std::uint8_t* p, std::uint32_t v) {
    mrformat::PutU32(p, v);
}

} // namespace

CVoicePlayer::CVoicePlayer() {
    m_files[kMain].table.resize(kMainClips);
    m_files[kAdd].table.resize(kAddClips);
    m_files[kMsg].table.resize(kMessages);
}

CVoicePlayer::~CVoicePlayer() = default;

void CVoicePlayer::SetDataFolder(const std::u16string& folder) {
    m_folder = folder;
}

std::u16string CVoicePlayer::PathOf(const char16_t* name) const {
    std::u16string path = m_folder;
    path += u"\\";
    path += name;
    return path;
}

int CVoicePlayer::Row(int code, const int*& clips) {
    if (code < 0 || code >= kCodes) return 0;
    clips = kRows[code].clips;
    return kRows[code].count;
}

void CVoicePlayer::MakeWavHeader(std::uint32_t total, std::uint8_t* b) {
    std::memcpy(b, "RIFF", 4);
    Put32(b + 4, total - 8);
    std::memcpy(b + 8, "WAVE", 4);
    std::memcpy(b + 12, "fmt ", 4);
    Put32(b + 16, 16);
    mrformat::PutU16(b + 20, 1);
    mrformat::PutU16(b + 22, 1);
    Put32(b + 24, 22050);
    Put32(b + 28, 44100);
    mrformat::PutU16(b + 32, 2);
    mrformat::PutU16(b + 34, 16);
    std::memcpy(b + 36, "data", 4);
    Put32(b + 40, total - 44);
}

bool CVoicePlayer::ReadIndex(const char16_t* name, int entries, ClipFile& file) {
    std::fill(file.table.begin(), file.table.end(), ClipEntry{});
    CBinFile f;
    if (f.Open(PathOf(name).c_str(), CBinFile::kModeRead) != 0) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entries) * 8);
    const int n = f.Read(bytes.data(), static_cast<int>(bytes.size()));
    if (n <= 0) return false;
    for (int i = 0; i < entries && (i + 1) * 8 <= n; ++i)
        file.table[static_cast<std::size_t>(i)] =
            ClipEntry{mrformat::U32(&bytes[i * 8u]), mrformat::U32(&bytes[i * 8u + 4])};
    return true;
}

bool CVoicePlayer::OpenData(const char16_t* name, ClipFile& file) {
    file.path = PathOf(name);
    file.shift = 0;
    file.size = 0;
    CBinFile f;
    if (f.Open(file.path.c_str(), CBinFile::kModeRead) != 0) return false;
    const long size = f.GetSize();
    if (size < 0) return false;
    file.size = static_cast<std::uint64_t>(size);
    char magic[4] = {};
    if (size >= 4 && f.Read(magic, 4) == 4 && std::memcmp(magic, "RIFF", 4) == 0) file.shift = kHeaderSize;
    return true;
}

bool CVoicePlayer::Load(bool reload) {
    if (reload) {
        m_loaded = false;
        m_files[kMain].usable = ReadIndex(u"Wave\\Wav.idx", kMainClips, m_files[kMain]);
        m_beepPath = PathOf(u"wave\\dd_beep.wav");
        CSoundIndex& names = CSoundIndex::GetInstance();
        const int count = names.Load(PathOf(u"Wave\\AddWav.idx").c_str());
        std::fill(m_files[kAdd].table.begin(), m_files[kAdd].table.end(), ClipEntry{});
        for (int i = 0; i < count && i < kAddClips; ++i) {
            CSoundIndex::Entry e;
            if (names.GetEntry(i, e)) m_files[kAdd].table[static_cast<std::size_t>(i)] = ClipEntry{e.offset, e.size};
        }
        m_files[kAdd].usable = count != 0;
        m_files[kMsg].usable = ReadIndex(u"Wave\\MsgWav.idx", kMessages, m_files[kMsg]);
    } else {
        for (ClipFile& f : m_files) f.usable = !f.table.empty() && f.table[0].size != 0;
    }
    const char16_t* data[3] = {u"Wave\\Wav.dat", u"Wave\\AddWav.dat", u"Wave\\MsgWav.dat"};
    for (int k = 0; k < 3; ++k)
        if (m_files[k].usable && !OpenData(data[k], m_files[k])) m_files[k].usable = false;
    m_loaded = m_files[kMain].usable && m_files[kAdd].usable && m_files[kMsg].usable;
    return m_loaded;
}

void CVoicePlayer::SetPedestrian(bool on) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_pedestrian = on;
}

const CVoicePlayer::ClipEntry* CVoicePlayer::EntryOf(const Clip& clip) const {
    const ClipFile& f = m_files[clip.source];
    if (clip.id < 1 || static_cast<std::size_t>(clip.id) > f.table.size()) return nullptr;
    return &f.table[static_cast<std::size_t>(clip.id - 1)];
}

bool CVoicePlayer::Assemble(const std::vector<Clip>& clips, std::vector<std::uint8_t>& image) const {
    // First pass: sizes, in 64 bits; every entry must lie inside its clip file.
    std::uint64_t total = kHeaderSize;
    for (const Clip& c : clips) {
        const ClipEntry* e = EntryOf(c);
        if (!e) return false;
        const ClipFile& f = m_files[c.source];
        if (static_cast<std::uint64_t>(e->offset) + f.shift + e->size > f.size) return false;
        total += e->size;
        if (total > kMaxSoundImage) return false;
    }
    if (total == kHeaderSize) return false;
    image.assign(static_cast<std::size_t>(total), 0);
    MakeWavHeader(static_cast<std::uint32_t>(total), image.data());
    std::size_t at = kHeaderSize;
    CBinFile files[3];
    for (const Clip& c : clips) {
        const ClipEntry* e = EntryOf(c);
        if (e->size == 0) continue;
        const ClipFile& f = m_files[c.source];
        CBinFile& file = files[c.source];
        if (!file.IsOpen() && file.Open(f.path.c_str(), CBinFile::kModeRead) != 0) return false;
        const long offset = static_cast<long>(e->offset + static_cast<std::uint64_t>(f.shift));
        if (file.ReadAt(image.data() + at, static_cast<int>(e->size), offset) != static_cast<int>(e->size))
            return false; // a short read: no stale bytes are sounded
        at += e->size;
    }
    return true;
}

bool CVoicePlayer::Play(const std::vector<Clip>& clips, bool async) {
    if (!m_loaded) return false;
    std::vector<std::uint8_t> image;
    image.reserve(kPromptBuffer);
    if (!Assemble(clips, image)) return false;
    if (!m_playSound) return true;
    const DWORD flags = SND_MEMORY | SND_NODEFAULT | SND_NOSTOP | (async ? SND_ASYNC : SND_SYNC);
    return PlaySoundW(reinterpret_cast<LPCWSTR>(image.data()), nullptr, flags) != FALSE;
}

void CVoicePlayer::AppendRow(std::vector<Clip>& clips, int code, bool dropFirst) {
    const int* row = nullptr;
    const int n = Row(code, row);
    for (int i = dropFirst ? 1 : 0; i < n; ++i) clips.push_back({kMain, row[i]});
}

void CVoicePlayer::Played(const PromptRequest& request) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_lastIndex = m_guidance.nextGuide;
    m_lastIndex1 = m_guidance.nextGuide1;
    m_stored = request;
    m_lastFixed = request.distanceClip == 0 ? request.code : 0;
}

bool CVoicePlayer::PlayRequest(const PromptRequest& in, const std::int32_t* names) {
    if (!m_loaded) return false;
    PromptRequest r = in;
    if (r.code == 99) r.code = 15;
    if (r.code2 == 99) r.code2 = 15;
    if (r.distanceClip < 1 || r.distanceClip > kMainClips || r.code < 1 || r.code > 68 || r.distanceClip2 < 0 ||
        r.distanceClip2 > kMainClips || r.code2 < 0 || r.code2 > 68)
        return false;
    std::vector<Clip> clips;
    const int d1 = r.distanceClip;
    clips.push_back({kMain, d1});
    if (r.code < 66) {
        AppendRow(clips, r.code, d1 == kCloseClip || d1 == kNoDistance);
        if (names && names[0] > 0) {
            for (int i = 0; i < 6 && names[i] >= 1; ++i) clips.push_back({kAdd, names[i]});
            clips.push_back({kMain, kNamesEnd});
        }
    } else {
        if (d1 != kCloseClip) clips.push_back({kMain, kFacilityLead});
        if (names && names[0] > 0) clips.push_back({kAdd, names[0]});
        clips.push_back({kMain, kFacilityKind2});
        AppendRow(clips, r.code, false);
    }
    if (r.connector != 0) {
        clips.push_back({kMain, r.connector});
        if (r.distanceClip2 != kCloseClip && r.distanceClip2 != 0) clips.push_back({kMain, r.distanceClip2});
        if (r.code2 != 0)
            AppendRow(clips, r.code2, r.distanceClip2 == kCloseClip || r.distanceClip2 == kNoDistance);
    }
    if (!Play(clips, false)) return false;
    Played(in);
    return true;
}

bool CVoicePlayer::PlayFixed(int code) {
    if (!m_loaded || code < 59 || code > 62) return false;
    const int* row = nullptr;
    const int n = Row(code, row);
    if (n < 2) return false;
    std::vector<Clip> clips;
    for (int i = 1; i < n; ++i) clips.push_back({kMain, row[i]});
    if (!Play(clips, false)) return false;
    Played(PromptRequest{0, code, 0, 0, 0});
    return true;
}

bool CVoicePlayer::PlayPrompt(int distanceClip, int code, int directionMode, int pointIndex, int speedLimit) {
    if (!m_loaded) return false;
    if (distanceClip == 0) {
        if (code == 0 && m_playSound)
            PlaySoundW(m_beepPath.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
        return true;
    }
    int limitClip = 0;
    bool sayLimit = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (directionMode != 0 && speedLimit != 0) {
            if (directionMode != m_lastPointMode || pointIndex != m_lastPointIndex) m_limitSaid = false;
            if (distanceClip != kCloseClip && !m_limitSaid) {
                limitClip = speedLimit / 10 + 147;
                sayLimit = true;
            }
        }
    }
    std::vector<Clip> clips;
    clips.push_back({kMain, distanceClip});
    AppendRow(clips, code, distanceClip == kCloseClip || distanceClip == kNoDistance);
    if (limitClip >= 148 && limitClip <= 167) {
        clips.push_back({kMain, kLimitOpen});
        clips.push_back({kMain, limitClip});
        clips.push_back({kMain, kLimitClose});
    }
    if (!Play(clips, false)) return false;
    std::lock_guard<std::mutex> lock(m_lock);
    // Said once per point; a point without a mode or limit has nothing left to say.
    if (sayLimit || directionMode == 0 || speedLimit == 0) m_limitSaid = true;
    return true;
}

bool CVoicePlayer::PlayUserPoint(int kind) {
    if (!m_loaded || kind < 1 || kind > 14) return false;
    return Play({{kMain, kUserOpen}, {kMain, 103 + kind}, {kMain, kUserClose}}, false);
}

bool CVoicePlayer::PlayFacility(const RestAreaRecord& f) {
    if (!m_loaded) return false;
    std::vector<Clip> clips;
    if (f.announceClip != 0) clips.push_back({kMain, f.announceClip});
    clips.push_back({kMain, kFacilityLead});
    if (f.nameClip != 0) clips.push_back({kAdd, f.nameClip});
    clips.push_back({kMain, f.kind == 2 ? kFacilityKind2 : kFacilityKind0});
    if (f.lpgClip != 0) clips.push_back({kMain, f.lpgClip});
    if (f.brandClip != 0) clips.push_back({kMain, f.brandClip});
    if (f.lpgClip != 0 || f.brandClip != 0) clips.push_back({kMain, kExtrasEnd});
    return Play(clips, false);
}

bool CVoicePlayer::PlayAddWav(int id) {
    if (!m_loaded) return false;
    if ((id >= 168 && id <= 172) || id == 175) return Play({{kMain, id}, {kMain, kAddPromptEnd}}, true);
    if (id >= 177 && id <= 179) return Play({{kMain, id}}, true);
    return false;
}

bool CVoicePlayer::PlayMessage(int id) {
    if (!m_loaded || id < 1 || id > kMessages) return false;
    if (m_files[kMsg].table[static_cast<std::size_t>(id - 1)].size > kMessageSamples) return false;
    return Play({{kMsg, id}}, true);
}

void CVoicePlayer::Publish(const Guidance& guidance) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_guidance = guidance;
}

CVoicePlayer::Guidance CVoicePlayer::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_guidance;
}

void CVoicePlayer::SetUserMessage(int kind) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_userMessage = kind;
}

int CVoicePlayer::UserMessage() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_userMessage;
}

int CVoicePlayer::TakeUserMessage() {
    std::lock_guard<std::mutex> lock(m_lock);
    const int kind = m_userMessage;
    m_userMessage = 0;
    return kind;
}

void CVoicePlayer::PlayPending(const Guidance& g) {
    bool pedestrian;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        pedestrian = m_pedestrian;
    }
    if (IsSameRequest(g.request, g.nextGuide)) return;
    if (pedestrian)
        PlayFixed(g.request.code);
    else if (g.request.distanceClip != 0)
        PlayRequest(g.request, g.direction.clips);
    else
        PlayFixed(g.request.code);
}

void CVoicePlayer::AnnounceGuidePoint(const GuidePointNotice& n) {
    if (n.distanceClip >= 1 && !IsLastAnnouncedPoint(n.directionMode, n.distanceClip, n.index)) {
        if (PlayPrompt(n.distanceClip, 41, n.directionMode, n.index, n.speedLimit)) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_lastPointMode = n.directionMode;
            m_lastPointClip = n.distanceClip;
            m_lastPointIndex = n.index;
        }
    }
    if (n.distance < 1) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_limitSaid = false;
    }
}

void CVoicePlayer::AnnounceFacility(const RestAreaRecord& f) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (f.id == 0 || f.id == m_lastFacility.id) return;
    }
    if (f.kind != 0 && f.kind != 2) return;
    if (!PlayFacility(f)) return;
    std::lock_guard<std::mutex> lock(m_lock);
    m_lastFacility = f;
}

void CVoicePlayer::ClearPending() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_lastIndex = -1;
    m_lastIndex1 = -1;
    m_guidance.request = PromptRequest{};
    const bool keep = !m_pedestrian && m_stored.distanceClip == 0 && m_stored.code == 60;
    if (!keep) m_stored = PromptRequest{};
    m_lastFixed = 0;
}

bool CVoicePlayer::IsSameRequest(const PromptRequest& request, int guideIndex) const {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!(request == m_stored)) return false;
    if (m_stored.distanceClip == 0 && (m_stored.code == 59 || m_stored.code == 60)) return true;
    return m_lastIndex >= 0 && m_lastIndex == guideIndex;
}

int CVoicePlayer::LastPlayedIndex() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastIndex1;
}

int CVoicePlayer::LastFixedCode() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastFixed;
}

bool CVoicePlayer::IsLastAnnouncedPoint(int directionMode, int distanceClip, int index) const {
    std::lock_guard<std::mutex> lock(m_lock);
    return directionMode == m_lastPointMode && distanceClip == m_lastPointClip && index == m_lastPointIndex;
}

void CVoicePlayer::ClearFacility() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_guidance.facility = RestAreaRecord{};
    m_lastFacility = RestAreaRecord{};
}

PromptRequest CVoicePlayer::StoredRequest() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_stored;
}
