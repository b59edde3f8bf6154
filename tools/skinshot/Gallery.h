// The control gallery: controls listed in a text file laid out on one screen-sized panel,
// rendered, and poked with taps whose hit codes and resulting commands are printed.
#pragma once

#include <string>
#include <utility>
#include <vector>

class NaviRcBuilder;

// One control a line: the class, then key=value pairs (values with blanks in double quotes;
// lists separated by commas). Lines starting with '#' and blank lines are skipped.
// Returns the exit code: 0 done, 1 a bad file or an unwritable picture.
int RunGallery(NaviRcBuilder& builder, const std::string& file, const std::string& out,
               const std::vector<std::pair<int, int>>& taps);
