// Reads a saved route for velko-gpsmatch: a route file (the 208-byte route header, then the route
// object's stream) or a bare route object stream.
#pragma once

#include "position/MatchResult.h"

#include <memory>
#include <string>

std::unique_ptr<CRouteLinkQuery> LoadRouteFile(const std::string& hostPath, std::string& error);
