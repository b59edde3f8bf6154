// The loopback route servers' own network over the sample region: bus lines through the towns
// 가람, 나래, 다솜 and 바람 and one subway line, with stops at places on the sample roads. It
// answers a question with up to five routes, fewest transfers first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace transitd {

struct TransitStop {
    std::u16string name;
    std::int32_t x = 0; // map units
    std::int32_t y = 0;
};

struct TransitLine {
    std::u16string name;
    std::vector<int> stops; // indices into the network's stops, in running order
};

// One stop line of an answer: where the rider boards, transfers or alights, the line ridden from
// there (the arriving line at the last stop) and, for the subway, the station the train runs to.
struct RouteStep {
    int stop = 0;
    int line = 0;
    std::u16string direction;
};

struct TransitRoute {
    std::vector<RouteStep> steps;
    int totalStops = 0;
};

// The server statuses of a question, as the bus server words them.
enum class Answer { Ok, NoStartStop, NoDestStop, OutsideRegion, NoRoute };

class TransitNetwork {
public:
    static TransitNetwork Bus();
    static TransitNetwork Subway();

    // Routes from the stop nearest the start to the stop nearest the destination.
    Answer Ask(std::int32_t startX, std::int32_t startY, std::int32_t destX, std::int32_t destY,
               std::vector<TransitRoute>& routes) const;
    const std::vector<TransitStop>& Stops() const { return m_stops; }
    const std::vector<TransitLine>& Lines() const { return m_lines; }

private:
    int AddStop(const char16_t* name, double eastKm, double northKm);
    int NearestStop(std::int32_t x, std::int32_t y) const;
    // Stops travelled on `line` between two stops, and the terminal it runs towards; -1 when the
    // line does not serve both.
    int Ride(int line, int from, int to, std::u16string* towards) const;

    std::vector<TransitStop> m_stops;
    std::vector<TransitLine> m_lines;
};

} // namespace transitd
