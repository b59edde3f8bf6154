#include "tools/mkdevice/ShellSettings.h"

#include "tools/mkdevice/NetworkModel.h"

#include <fstream>
#include <iterator>
#include <string>

namespace mkdev {

void WriteShellSettings(const DeviceLayout& layout) {
    const std::string iniPath = layout.root + "/device.ini";
    std::ifstream in(iniPath, std::ios::binary);
    std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!ini.empty() && ini.back() != '\n') ini += "\n";
    ini += "oem=hp iPAQ h2200\n"
           "ceversion=4.20\n"
           "trafficserver=127.0.0.1:15006\n"
           "dialup=ok\n";
    WriteFileAtomic(iniPath, std::vector<std::uint8_t>(ini.begin(), ini.end()));

    const std::string registry = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BTConfig\\Applications\\0001]\n"
                                 "\"Name\"=\"Generic Serial\"\n"
                                 "\"ComPortNumber\"=dword:00000008\n";
    WriteFileAtomic(layout.root + "/registry.reg", std::vector<std::uint8_t>(registry.begin(), registry.end()));
}

} // namespace mkdev
