// The device root: a host folder that stands for the handheld's storage. CE paths
// ("\My Documents\Velko\x", "\Storage Card\MapData\...", '\' or '/' separators, relative paths
// against the root) resolve under it component by component, case-insensitively. Names are
// UTF-16 in the API and UTF-8 on disk. DIR/device.ini holds the device's settings as key=value
// lines; "card=NAME" lines name the folders reported as storage cards (default "Storage Card").
#pragma once

#include <string>
#include <vector>

namespace DeviceRoot {

// Sets the root folder (host path, UTF-8) and reads its device.ini.
void SetRoot(const std::string& hostDir);
const std::string& Root();
// The root used while SetRoot was never called: $VELKO_ROOT when set, else the current directory.
std::string DefaultRoot();

// Host path (UTF-8) of a CE path. Existing components are matched case-insensitively; the
// remaining ones are kept as given. ".." never climbs above the root.
std::string Resolve(const std::u16string& cePath);
std::string Resolve(const char16_t* cePath);

// device.ini values: the last value of a key, or all values of a key in file order.
std::string Setting(const std::string& key, const std::string& fallback = "");
std::vector<std::string> Settings(const std::string& key);
// Overrides a key for this process (command-line options such as --com N=PATH).
void OverrideSetting(const std::string& key, const std::string& value);
// Forgets every override (tests that switch between roots).
void ClearOverrides();
void ReloadSettings();

// Names (first path component under the root) reported as storage cards.
std::vector<std::string> CardFolders();
bool IsCardFolder(const std::string& name);

// Case folding used for names and wildcards: ASCII and Latin-1 letters fold to lower case;
// Hangul and other scripts have no case.
char16_t FoldCase(char16_t c);
bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b);

// The program's own path as the device sees it: "\Program Files\Velko\Velko.exe".
std::u16string ProgramPath();

} // namespace DeviceRoot
