// The one interface commands travel upwards through: controls to their panel, panels to the
// dialog or screen that owns them.
#pragma once

#include "skinui/NaviCommand.h"

class NaviListener {
public:
    NaviListener() = default;
    virtual ~NaviListener() = default;
    virtual void ProcessEvent(NaviCommand& cmd) = 0;
};
