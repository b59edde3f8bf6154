// Reads a saved route for velko-gpsmatch: a route file (the 208-byte route header, then the route
// object's stream) or a bare route object stream.
#pragma once

#include "position/MatchResult.h"

#include <cstdint>
#include <memory>
#include <string>

// Route files hold a few thousand items and points: some hundred kilobytes.
constexpr std::uint64_t kMaxRouteFileBytes = 64u << 20;

// On failure error says why and code is the exit code: 2 when the file cannot be read as an
// input file, 1 when it holds no route.
std::unique_ptr<CRouteLinkQuery> LoadRouteFile(const std::string& hostPath, std::string& error, int& code);
