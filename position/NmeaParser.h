// The NMEA 0183 decoder: text arrives in arbitrary pieces, is collected in a receive text, cut
// into sentences, verified and parsed by type; a GpsPosRecord is built when the GGA and RMC
// sentences of the same second have both been taken. Only the "$GP" talker is understood; other
// talkers are ignored.
#pragma once

#include "position/GpsReceiver.h"

#include <cstdint>

class CNmeaParser {
public:
    static constexpr int kReceiveSize = 2048;
    static constexpr int kMaxSentence = 127; // "$" to line feed inclusive

    CNmeaParser();
    virtual ~CNmeaParser() = default;
    CNmeaParser(const CNmeaParser&) = delete;
    CNmeaParser& operator=(const CNmeaParser&) = delete;

    // The process-wide decoder behind CNmeaReceiver, created on first use.
    static CNmeaParser* Instance();
    static void Destroy();

    // Takes count bytes (NUL bytes are dropped). 1 when a sentence taken during this call
    // completed a position, else 0; 0 for a null pointer.
    int PutData(const char* data, int count);
    // The same for zero-terminated text.
    int PutData(const char* text);
    // Parses one sentence ("$" to line feed). 1 when it completed a position.
    int ParseSentence(const char* sentence);
    // Copies the pending position and clears it; false for a null pointer or when none is pending.
    bool GetPosition(GpsPosRecord* out);
    // False for a null pointer or unless the last GSA and the last GSV sentence were both taken.
    bool GetSatellites(GpsSatRecord* out);

    void SetNoDatumShift(int flag) { m_noDatumShift = flag; }
    int GetNoDatumShift() const { return m_noDatumShift; }

    // Characters currently held in the receive text (a partial sentence between calls).
    int HeldLength() const { return m_textLength; }
    const char* HeldText() const { return m_text; }

private:
    enum Type { kGGA, kGLL, kGSA, kGSV, kRMC, kVTG, kTypeCount };

    bool CutSentence(char* sentence);
    void ConsumeText(int count);
    int ParseGga(const char* s);
    int ParseGll(const char* s);
    int ParseGsa(const char* s);
    int ParseGsv(const char* s);
    int ParseRmc(const char* s);
    int ParseVtg(const char* s);
    void BuildPosition();

    // GGA
    std::uint8_t m_ggaHour = 0, m_ggaMinute = 0, m_ggaSecond = 0;
    double m_ggaLatitude = 0.0; // ddmm.mmmm
    char m_ggaNorthSouth = 0;
    double m_ggaLongitude = 0.0; // dddmm.mmmm
    char m_ggaEastWest = 0;
    char m_fixQuality = 0;
    std::int8_t m_ggaUsed = 0;
    double m_ggaHdop = 0.0;
    double m_ggaAltitude = 0.0; // metres
    // GLL
    double m_gllLatitude = 0.0;
    char m_gllNorthSouth = 0;
    double m_gllLongitude = 0.0;
    char m_gllEastWest = 0;
    std::uint8_t m_gllHour = 0, m_gllMinute = 0, m_gllSecond = 0;
    // GSA
    char m_fixType = 0;
    std::int8_t m_gsaNumbers[kMaxSatellites] = {}; // -1 for an empty field
    double m_pdop = 0.0, m_hdop = 0.0, m_vdop = 0.0;
    // GSV
    std::int8_t m_gsvMessages = 0;
    std::int8_t m_inView = 0; // clamped to 0..12
    std::uint8_t m_svNumbers[kMaxSatellites] = {};
    std::uint8_t m_svElevations[kMaxSatellites] = {};
    std::uint16_t m_svAzimuths[kMaxSatellites] = {};
    std::uint8_t m_svSnr[kMaxSatellites] = {};
    // RMC
    std::uint8_t m_rmcHour = 0, m_rmcMinute = 0, m_rmcSecond = 0;
    char m_rmcStatus = 0;
    double m_rmcLatitude = 0.0;
    char m_rmcNorthSouth = 0;
    double m_rmcLongitude = 0.0;
    char m_rmcEastWest = 0;
    double m_rmcKnots = 0.0;
    double m_rmcCourse = 0.0;
    std::uint8_t m_day = 0, m_month = 0, m_year = 0;
    // VTG
    double m_vtgCourse = 0.0, m_vtgKnots = 0.0, m_vtgKmh = 0.0;

    int m_taken[kTypeCount] = {};
    int m_noDatumShift = 0;
    GpsPosRecord m_pending;
    bool m_hasPending = false;
    char m_text[kReceiveSize + 1] = {};
    int m_textLength = 0;
};
