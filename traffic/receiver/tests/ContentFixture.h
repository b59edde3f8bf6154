// The receiver fixture with the content stores: fresh singletons for each test, the notices
// the stores show, and packets built by hand (CRC trailers worked out bit by bit here).
#pragma once

#include "platform/base/Text.h"
#include "platform/window/WindowHost.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Weather.h"
#include "traffic/receiver/tests/ReceiverFixture.h"

#include <string>
#include <vector>

class ContentFixture : public ReceiverFixture {
protected:
    using Packet = std::vector<unsigned char>;

    ContentFixture() {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_notices.push_back(Utf16ToUtf8(text));
            return IDOK;
        });
    }
    ~ContentFixture() override {
        CMarkup::destruct();
        CShortText::destruct();
        CStock::destruct();
        CWeather::destruct();
        WinSetMessageBoxHandler(nullptr);
    }

    static unsigned char Reverse(unsigned char b) {
        unsigned char r = 0;
        for (int i = 0; i < 8; ++i)
            if (b & (1 << i)) r = static_cast<unsigned char>(r | (0x80 >> i));
        return r;
    }
    // CRC-16 with polynomial 0x1021 from 0, each byte taken with its bits reversed, then the
    // two trailer bytes that make the CRC over block and trailer 0.
    static void AppendCrcTrailer(Packet& block) {
        unsigned crc = 0;
        for (unsigned char b : block) {
            crc ^= static_cast<unsigned>(Reverse(b)) << 8;
            for (int i = 0; i < 8; ++i) crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
        }
        block.push_back(Reverse(static_cast<unsigned char>(crc >> 8)));
        block.push_back(Reverse(static_cast<unsigned char>(crc & 0xFF)));
    }
    // Pads block (plus its 2-byte trailer) to whole 20-byte packet bodies and adds the trailer.
    static Packet Seal(Packet block) {
        while ((block.size() + 2) % 20 != 0 || block.size() + 2 < 40) block.push_back(0);
        AppendCrcTrailer(block);
        return block;
    }
    // Cuts a sealed block into first, middle and last packets of a service.
    static std::vector<Packet> Cut(const Packet& block, int service, unsigned char byte1) {
        std::vector<Packet> packets;
        for (std::size_t at = 0; at < block.size(); at += 20) {
            int position = at == 0 ? 0x40 : (at + 20 >= block.size() ? 0xC0 : 0x80);
            Packet p{static_cast<unsigned char>(position | service), byte1};
            p.insert(p.end(), block.begin() + static_cast<long>(at), block.begin() + static_cast<long>(at + 20));
            packets.push_back(p);
        }
        return packets;
    }
    static Packet TimePacket(int service, int low, int month, int day, int hour, int minute) {
        Packet p(22, 0);
        p[0] = static_cast<unsigned char>(0x20 | service);
        p[1] = static_cast<unsigned char>(0x10 | low);
        p[10] = static_cast<unsigned char>(month);
        p[11] = static_cast<unsigned char>(day);
        p[12] = static_cast<unsigned char>(hour);
        p[13] = static_cast<unsigned char>(minute);
        return p;
    }
    static Packet Cp(const char* utf8) {
        std::string s = Utf8ToCp949(utf8);
        return Packet(s.begin(), s.end());
    }
    // A data sentence of the receiver unit: STX, 0x30, the escaped payload and check byte, ETX.
    static std::string Frame(const Packet& payload) {
        unsigned sum = 0x30;
        for (unsigned char b : payload) sum += b;
        Packet all = payload;
        all.push_back(static_cast<unsigned char>(0u - sum));
        std::string s = "\x02\x30";
        for (unsigned char b : all) {
            if (b == 0x02 || b == 0x03 || b == 0x1B) {
                s += '\x1B';
                s += static_cast<char>(~b & 0xFF);
            } else {
                s += static_cast<char>(b);
            }
        }
        return s + "\x03";
    }
    void AdvanceMinutes(int minutes) { m_clock.Advance(static_cast<std::uint64_t>(minutes) * 60000); }

    std::vector<std::string> m_notices;
};
