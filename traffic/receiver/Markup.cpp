#include "traffic/receiver/Markup.h"

#include "platform/base/Text.h"
#include "traffic/receiver/ReceiverUtil.h"
#include "traffic/receiver/StoreFile.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr char16_t kSaveFile[] = u"\\My Documents\\Velko\\MDSStore.bin";
constexpr unsigned char kSaveMarker = 100;
constexpr int kFreshMinutes = 240;
constexpr std::uint32_t kResetMinutes = 240;

std::atomic<CMarkup*> g_instance{nullptr};
std::mutex g_instanceLock;

// Keeps printable bytes (0x20 and above) and CR; drops the other control bytes.
std::string Printable(const unsigned char* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] >= 0x20 || text[i] == 0x0D) out.push_back(static_cast<char>(text[i]));
    return out;
}

} // namespace

CMarkup* CMarkup::instance() {
    CMarkup* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CMarkup();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CMarkup::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CMarkup::CMarkup() : m_firstTime(CurrentTimeValue()), m_queues(new CMarkupQue[2]) {
    m_queues[kHeads].SetSize(100);
    m_queues[kBodies].SetSize(1000);
}

CMarkup::~CMarkup() = default;

void CMarkup::reset() {
    m_queues[kHeads].Init();
    m_queues[kBodies].Init();
    m_time.store(0);
    m_document = 0;
    m_segment.store(255);
}

void CMarkup::externalReset() {
    reset();
    m_reset.store(1);
}

int CMarkup::setData(const unsigned char* payload, int length) {
    if (!IsLoaded() || !payload || length < 2) return 0;
    if (IsBroadcastTimePacket(payload, length)) {
        std::uint32_t packed = 0;
        if (!ReadBroadcastTime(payload, length, packed)) return 0;
        m_time.store(packed);
        return 1;
    }
    const int position = payload[0] >> 6;
    if (position == 0) return 1;
    if (length < 22) return 0;
    if (position == 1) {
        std::uint8_t version = payload[1] & 0x0F;
        if (MinutesSince(m_firstTime) > kResetMinutes || (m_version != 0 && version != m_version)) externalReset();
        m_firstTime = CurrentTimeValue();
        m_segment.store(payload[1] >> 4);
        m_version = version;
        m_document = Be16(payload + 2);
        m_part = payload[4] >> 4;
        m_lastPart = payload[4] & 0x0F;
        m_serial = payload[5];
        m_kind = payload[6] >> 4;
        m_textLength = Be16(payload + 9);
        m_text.Set(payload + 11, 11);
        m_block.Set(payload + 2, 20);
        return 1;
    }
    if (m_segment.load() != (payload[1] >> 4)) {
        m_segment.store(255);
        return 0;
    }
    if (m_block.GetPosition() + 20 > kMaxBlock) {
        // Longer than any sentence the service sends: drop it rather than grow without bound.
        m_segment.store(255);
        return 1;
    }
    m_text.Append(payload + 2, 20);
    m_block.Append(payload + 2, 20);
    if (position == 3) {
        m_segment.store(255);
        CheckSentence();
    }
    return 1;
}

void CMarkup::PushEntry(int kind, std::uint16_t number, const unsigned char* text, std::size_t length, bool body) {
    MarkupEntry e;
    e.document = m_document.load();
    e.number = number;
    std::size_t room = MarkupEntry::kTextSize - 1 - (body ? 1 : 0);
    std::size_t n = Cp949Prefix(text, length, room);
    std::memcpy(e.text, text, n);
    if (body) e.text[n++] = '\r';
    e.text[n] = 0;
    e.unread = 1;
    e.time = m_time.load();
    e.part = m_part;
    e.lastPart = m_lastPart;
    e.serial = m_serial;
    e.kind = static_cast<std::uint8_t>(kind);
    m_queues[body ? kBodies : kHeads].Push(e);
}

void CMarkup::CheckSentence() {
    const int blockLength = m_block.GetPosition();
    if (blockLength > kMaxBlock || DarcCrc16(m_block.Data(), blockLength) != 0) return;
    const int joined = m_text.GetPosition();
    const std::size_t length = static_cast<std::size_t>(m_textLength < joined ? m_textLength : joined);
    if (length == 0 || m_time.load() == 0) return;
    const unsigned char* t = m_text.Data();
    if (m_kind == 3) {
        std::string body = Printable(t, length);
        PushEntry(3, 0, reinterpret_cast<const unsigned char*>(body.data()), body.size(), true);
        return;
    }
    if (m_kind != 1 && m_kind != 2) return;
    std::size_t at = 0;
    while (at < length) {
        if (t[at] != 0x01) {
            ++at;
            continue;
        }
        if (at + 3 > length) break;
        std::uint16_t number = Be16(t + at + 1);
        std::size_t start = at + 3;
        std::size_t end = start;
        while (end < length && t[end] != 0x11) ++end;
        if (end >= length) break; // no closing byte: the record is dropped
        std::string text = Printable(t + start, end - start);
        PushEntry(m_kind, number, reinterpret_cast<const unsigned char*>(text.data()), text.size(), false);
        at = end + 2;
    }
}

int CMarkup::GetLastUpdatedTime(CTime& time, int useNow) const {
    std::uint32_t packed = m_time.load();
    if (packed == 0) {
        if (!useNow) return 0;
        CTime now = CTime::GetCurrentTime();
        time = CTime(2002, now.GetMonth(), now.GetDay(), now.GetHour(), now.GetMinute(), 0);
        return 1;
    }
    time = BroadcastTimeIn2002(packed);
    return 1;
}

int CMarkup::GetSentence(unsigned short document, unsigned char kind, char* text, unsigned short& number,
                         unsigned char& serial, unsigned char& unread) {
    if (!IsLoaded() || !text) return 0;
    if (kind == 1 || kind == 2) {
        CMarkupQue& q = m_queues[kHeads];
        q.SetTargetSen(document, kind);
        MarkupEntry e;
        while (q.Next(e)) {
            if (e.document == 65535 || e.kind != kind) continue;
            std::string out(e.text);
            if (kind == 2) {
                CTime ref;
                GetLastUpdatedTime(ref, 1);
                const int month = static_cast<int>(e.time >> 24), day = static_cast<int>((e.time >> 16) & 0xFF);
                const int hour = static_cast<int>((e.time >> 8) & 0xFF), minute = static_cast<int>(e.time & 0xFF);
                std::u16string wide = Cp949ToUtf16(e.text);
                CString s;
                if (day == ref.GetDay())
                    s.Format(u"%02d:%02d %s", hour, minute, wide.c_str());
                else
                    s.Format(u"%02d/%02d %s", month, day, wide.c_str());
                out = s.ToCp949();
            }
            std::size_t n = Cp949Prefix(reinterpret_cast<const unsigned char*>(out.data()), out.size(),
                                        kBodyTextSize - 1);
            std::memcpy(text, out.data(), n);
            text[n] = 0;
            number = e.number;
            serial = e.serial;
            unread = e.unread;
            return 1;
        }
        return 0;
    }
    if (kind != 3) return 0;
    number = 65535;
    CMarkupQue& q = m_queues[kBodies];
    q.SetTargetSen(document, 3);
    std::vector<std::string> parts(16);
    std::uint32_t held = 0;
    MarkupEntry e;
    while (q.Next(e)) {
        if (e.document != document || e.kind != 3 || e.part > 15 || e.lastPart > 15) continue;
        parts[e.part] = e.text;
        held |= 1u << e.part;
        unread = e.unread;
        std::uint32_t need = (2u << e.lastPart) - 1;
        if ((held & need) != need) continue;
        std::size_t total = 0;
        for (int i = 0; i <= e.lastPart; ++i) {
            if (total + parts[static_cast<std::size_t>(i)].size() > static_cast<std::size_t>(kBodyTextSize - 1)) break;
            std::memcpy(text + total, parts[static_cast<std::size_t>(i)].data(), parts[static_cast<std::size_t>(i)].size());
            total += parts[static_cast<std::size_t>(i)].size();
        }
        text[total] = 0;
        return 1;
    }
    return 0;
}

int CMarkup::IsDocAvailable(unsigned short document, unsigned char, unsigned char kind) {
    if (!IsLoaded()) return 0;
    if (kind == 1 || kind == 2) return m_queues[kHeads].IsDocAvailable(document);
    if (kind == 3) return m_queues[kBodies].IsDocAvailable(document);
    return 0;
}

int CMarkup::IsDataAvailable(int kind) {
    if (!IsLoaded()) return 0;
    if (kind == 2) return m_queues[kHeads].GetNum() > 0 ? 1 : 0;
    if (kind == 3) return m_queues[kBodies].GetNum() > 0 ? 1 : 0;
    return 0;
}

void CMarkup::openFile(const CString&) {
    LoadSaveFile();
    m_loaded.store(1);
}

void CMarkup::LoadSaveFile() {
    std::vector<unsigned char> bytes;
    // 1100 heads and bodies of at most 1023 text bytes each, with their fields.
    if (!ReadFreshSaveFile(kSaveFile, kFreshMinutes, 3 + 1100u * (6 + 1023 + 9), bytes)) return;
    FileFields f(bytes);
    std::uint8_t marker = 0;
    std::uint16_t count = 0;
    if (!f.U8(marker) || marker != kSaveMarker || !f.U16(count)) return;
    for (int i = 0; i < count; ++i) {
        MarkupEntry e;
        std::uint16_t length = 0;
        std::string text;
        if (!f.U16(e.document) || !f.U16(e.number) || !f.U16(length) || length >= MarkupEntry::kTextSize ||
            !f.Bytes(length, text) || !f.U8(e.unread) || !f.U32(e.time) || !f.U8(e.part) || !f.U8(e.lastPart) ||
            !f.U8(e.serial) || !f.U8(e.kind))
            return; // a damaged record ends the load
        std::memcpy(e.text, text.data(), text.size());
        e.text[text.size()] = 0;
        if (e.kind == 1 || e.kind == 2)
            m_queues[kHeads].Push(e);
        else if (e.kind == 3)
            m_queues[kBodies].Push(e);
    }
}

int CMarkup::close() {
    if (!IsLoaded()) return 0;
    std::vector<unsigned char> entries;
    int count = 0;
    auto put = [&](const MarkupEntry& e) {
        std::size_t length = strnlen(e.text, MarkupEntry::kTextSize - 1);
        PutU16(entries, e.document);
        PutU16(entries, e.number);
        PutU16(entries, static_cast<std::uint16_t>(length));
        entries.insert(entries.end(), e.text, e.text + length);
        entries.push_back(e.unread);
        PutU32(entries, e.time);
        entries.push_back(e.part);
        entries.push_back(e.lastPart);
        entries.push_back(e.serial);
        entries.push_back(e.kind);
        ++count;
    };
    m_queues[kHeads].ForEach(put);
    m_queues[kBodies].ForEach(put);
    std::vector<unsigned char> out;
    out.push_back(kSaveMarker);
    PutU16(out, static_cast<std::uint16_t>(count));
    out.insert(out.end(), entries.begin(), entries.end());
    m_loaded.store(0);
    if (!WriteFileAside(kSaveFile, out)) {
        StoreNotice(u"마크업 뉴스정보 파일 저장 오류!");
        return 0;
    }
    return 1;
}
