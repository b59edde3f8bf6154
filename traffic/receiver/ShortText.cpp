#include "traffic/receiver/ShortText.h"

#include "platform/base/Text.h"
#include "traffic/receiver/ReceiverUtil.h"
#include "traffic/receiver/StoreFile.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr char16_t kSaveFile[] = u"\\My Documents\\Velko\\STSStore.bin";
constexpr unsigned char kSaveMarker = 0x65;
constexpr int kFreshMinutes = 1440;
constexpr std::uint32_t kResetMinutes = 1440;
constexpr int kMaxBlock = 1024;

std::atomic<CShortText*> g_instance{nullptr};
std::mutex g_instanceLock;

const char16_t* const kPrefixes[4] = {u"%s", u"[긴급] %s", u"[사고] %s", u"[공지] %s"};

} // namespace

CShortText* CShortText::instance() {
    CShortText* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CShortText();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CShortText::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CShortText::CShortText() : m_firstTime(CurrentTimeValue()) {
    for (auto& t : m_times) t.store(0);
}

void CShortText::reset() {
    m_queue.Init();
    for (auto& t : m_times) t.store(0);
    m_segment.store(-1);
}

void CShortText::externalReset() {
    reset();
    m_reset.store(1);
}

void CShortText::GetTime(std::uint32_t packed, int& month, int& day, int& hour, int& minute) {
    month = static_cast<int>(packed >> 24);
    day = static_cast<int>((packed >> 16) & 0xFF);
    hour = static_cast<int>((packed >> 8) & 0xFF);
    minute = static_cast<int>(packed & 0xFF);
}

int CShortText::setData(const unsigned char* payload, int length) {
    if (!IsLoaded() || !payload || length < 2) return 0;
    if (IsBroadcastTimePacket(payload, length)) {
        const int kind = payload[1] & 0x0F;
        std::uint32_t packed = 0;
        if (kind < 1 || kind > 4 || !ReadBroadcastTime(payload, length, packed)) return 0;
        m_times[kind - 1].store(packed);
        return 1;
    }
    const int position = payload[0] >> 6;
    if (position == 0) return 1;
    if (length < 22) return 0;
    if (position == 1) {
        const std::uint32_t serial = payload[6];
        const std::uint32_t known = m_serial.load();
        if (MinutesSince(m_firstTime) > kResetMinutes || (known != 0 && serial != known)) externalReset();
        m_firstTime = CurrentTimeValue();
        m_serial.store(serial);
        m_segment.store(payload[1]);
        m_kind = payload[1] & 0x0F;
        m_expected = payload[7];
        m_text.Set(payload + 8, 14);
        m_block.Set(payload + 2, 20);
        return 1;
    }
    if (m_segment.load() != payload[1]) {
        m_segment.store(-1);
        return 0;
    }
    if (m_block.GetPosition() + 20 > kMaxBlock) {
        m_segment.store(-1); // longer than any sentence: dropped rather than grown without bound
        return 1;
    }
    m_text.Append(payload + 2, 20);
    m_block.Append(payload + 2, 20);
    if (position == 3) {
        m_segment.store(-1);
        CheckSentence();
    }
    return 1;
}

void CShortText::CheckSentence() {
    const int blockLength = m_block.GetPosition();
    if (blockLength > kMaxBlock || DarcCrc16(m_block.Data(), blockLength) != 0) return;
    m_text.EraseESC();
    if (m_text.Size() != m_expected) return;
    if (m_kind < 1 || m_kind > 4) return;
    const std::uint32_t time = m_times[m_kind - 1].load();
    if (time == 0) return;
    std::string text(reinterpret_cast<const char*>(m_text.Data()), static_cast<std::size_t>(m_text.Size()));
    m_queue.Push(text.c_str(), 1, time, static_cast<std::uint32_t>(m_kind));
}

int CShortText::GetLastUpdatedTime(CTime& time, int kindIndex, int useNow) const {
    const std::uint32_t packed = kindIndex >= 0 && kindIndex < 4 ? m_times[kindIndex].load() : 0;
    if (packed == 0) {
        if (!useNow) return 0;
        CTime now = CTime::GetCurrentTime();
        time = CTime(2002, now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(), 0);
        return 1;
    }
    time = BroadcastTimeIn2002(packed);
    return 1;
}

int CShortText::getSentence(char* text, int& unread, int& kind) {
    if (!IsLoaded() || !text) return 0;
    char raw[STSEntry::kTextSize];
    std::uint8_t entryUnread = 0;
    std::uint32_t time = 0, entryKind = 0;
    if (!m_queue.Next(raw, entryUnread, time, entryKind)) return 0;
    CTime ref;
    const int index = entryKind >= 1 && entryKind <= 4 ? static_cast<int>(entryKind) - 1 : -1;
    GetLastUpdatedTime(ref, index, 1);
    std::u16string body;
    if (index >= 0) {
        CString prefixed;
        prefixed.Format(kPrefixes[index], Cp949ToUtf16(raw).c_str());
        body = static_cast<const char16_t*>(prefixed);
    }
    int month = 0, day = 0, hour = 0, minute = 0;
    GetTime(time, month, day, hour, minute);
    CString line;
    if (day == ref.GetDay())
        line.Format(u"%02d:%02d %s", hour, minute, body.c_str());
    else
        line.Format(u"%02d/%02d %s", month, day, body.c_str());
    std::string out = line.ToCp949();
    std::size_t n = Cp949Prefix(reinterpret_cast<const unsigned char*>(out.data()), out.size(), kTextBufferSize - 1);
    std::memcpy(text, out.data(), n);
    text[n] = 0;
    unread = entryUnread;
    kind = static_cast<int>(entryKind);
    return 1;
}

void CShortText::openFile(const CString&) {
    std::vector<unsigned char> bytes;
    if (ReadFreshSaveFile(kSaveFile, kFreshMinutes, 3 + 100u * (1 + 255 + 9), bytes)) {
        FileFields f(bytes);
        std::uint8_t marker = 0, serial = 0, count = 0;
        if (f.U8(marker) && marker == kSaveMarker && f.U8(serial) && f.U8(count)) {
            m_serial.store(serial);
            for (int i = 0; i < count; ++i) {
                std::uint8_t length = 0, unread = 0;
                std::uint32_t time = 0, kind = 0;
                std::string text;
                if (!f.U8(length) || !f.Bytes(length, text) || !f.U8(unread) || !f.U32(time) || !f.U32(kind)) break;
                if (kind < 1 || kind > 4) continue; // no kind of the broadcast
                m_queue.Push(text.c_str(), unread, time, kind);
            }
        }
    }
    m_loaded.store(1);
}

int CShortText::close() {
    if (!IsLoaded()) return 0;
    std::vector<unsigned char> entries;
    int count = 0;
    m_queue.ForEach([&](const STSEntry& e) {
        std::size_t length = strnlen(e.text, 255);
        entries.push_back(static_cast<unsigned char>(length));
        entries.insert(entries.end(), e.text, e.text + length);
        entries.push_back(e.unread);
        PutU32(entries, e.time);
        PutU32(entries, e.kind);
        ++count;
    });
    std::vector<unsigned char> out{kSaveMarker, static_cast<unsigned char>(m_serial.load()),
                                   static_cast<unsigned char>(count)};
    out.insert(out.end(), entries.begin(), entries.end());
    m_loaded.store(0);
    return WriteFileAside(kSaveFile, out) ? 1 : 0;
}
