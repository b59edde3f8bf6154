// The program object of velko-darcview: opens the receiver's stores over the device root, feeds
// them a recorded stream, and shows the traffic-broadcast sheet in its host dialog again each
// time the screen is tapped; after each closing it prints what the application would read back.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/Afx.h"

#include <string>

class CSerialPort;

struct DarcViewOptions {
    std::u16string mapFolder; // the map data folder, CE path
    std::string stream;       // host path of a receiver byte stream, or empty
    CSerialPort* port = nullptr; // an open receiver port read before the sheet opens, or null
    double seconds = 5;          // how long the port is read
    bool match = false;
    unsigned long matchFirst = 0;
    unsigned long matchSecond = 0;
    CString title = u"교통정보";
    bool current = false; // the current-road page alone, in place of the sheet
};

struct sMOVEMAP;
// "x= y= extent= code=" of a map move, with " position=X,Y" when the code names a map cell.
std::string MapMoveText(const sMOVEMAP& move);

class DarcViewApp : public CWinApp {
public:
    explicit DarcViewApp(DarcViewOptions options);
    BOOL InitInstance() override;
    int ExitInstance() override;
    // False with the reason when the stream could not be read.
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    bool Feed();
    bool FeedFromPort();
    void Parse(const char* bytes, int count);
    long m_packets = 0;
    DarcViewOptions m_options;
    CWnd* m_screen = nullptr;
    std::string m_error;
};
