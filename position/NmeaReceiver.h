// The NMEA receiver: forwards every operation to the NMEA decoder (the process-wide one unless
// another is given).
#pragma once

#include "position/GpsReceiver.h"
#include "position/NmeaParser.h"

class CNmeaReceiver : public CGpsReceiver {
public:
    CNmeaReceiver() = default;
    // Drives the given decoder instead of the process-wide one (tests, tools).
    explicit CNmeaReceiver(CNmeaParser* parser) : m_parser(parser) {}

    void SetNoDatumShift(int flag) override { Parser()->SetNoDatumShift(flag); }
    int GetNoDatumShift() override { return Parser()->GetNoDatumShift(); }
    int PutData(const char* data, int count) override { return data ? Parser()->PutData(data, count) : 0; }
    bool GetPosition(GpsPosRecord* out) override { return Parser()->GetPosition(out); }
    bool GetSatellites(GpsSatRecord* out) override { return Parser()->GetSatellites(out); }

private:
    CNmeaParser* Parser() { return m_parser ? m_parser : CNmeaParser::Instance(); }
    CNmeaParser* m_parser = nullptr;
};
