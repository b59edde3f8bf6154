#include "tools/route/RoutePrint.h"

#include "platform/base/Text.h"

#include <cstring>
#include <string>

namespace routetool {

void PrintSummary(std::ostream& out, int code, const CRoutePath& path) {
    out << "result=" << code << " length=" << path.Header(CRoutePath::kLength)
        << " time=" << path.Header(CRoutePath::kTime) << " highway=" << path.Header(CRoutePath::kHighway)
        << " share=" << path.Header(CRoutePath::kHighwayShare) << "\n";
}

void PrintItems(std::ostream& out, const CRoutePath& path) {
    for (int i = 0; i < path.Items().Count(); ++i) {
        const CPathLinkItem& item = path.Items()[i];
        const std::string name(item.name, strnlen(item.name, CPathLinkItem::kNameSize));
        out << "item i=" << i << " map=" << item.mapId << " link=" << item.linkId
            << " dir=" << int(item.direction) << " kind=" << int(item.kind) << " fac=" << int(item.facility)
            << " remain=" << item.remaining << " name=" << Cp949ToUtf8(name) << "\n";
    }
    for (const CRouteLinkKey& g : path.Guides().Items())
        out << "guide link=" << g.linkId << " dir=" << g.direction << " pos=" << g.itemIndex
            << " code=" << int(g.guideCode) << "\n";
    for (const CPathGuideItem& f : path.Facilities().Items())
        out << "facility value=" << f.value << " code=" << f.code << " pos=" << f.itemIndex << "\n";
}

} // namespace routetool
