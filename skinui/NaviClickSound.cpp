#include "skinui/NaviClickSound.h"

#include "platform/sound/Sound.h"
#include "route/base/BinFile.h"

bool ReadSoundFile(const CString& path, std::vector<BYTE>& out) {
    out.clear();
    CBinFile file(path.GetString());
    if (file.Open(CBinFile::kModeRead) < 0) return false;
    const long size = file.GetSize();
    if (size < 12 || static_cast<std::size_t>(size) > kMaxControlSound) {
        file.Close();
        return false;
    }
    std::vector<BYTE> data(static_cast<std::size_t>(size));
    const int read = file.Read(data.data(), static_cast<int>(size));
    file.Close();
    if (read < 12) return false;
    data.resize(static_cast<std::size_t>(read));
    // The player copies a memory image by the size in its RIFF header: that size must lie
    // within what was read, and the image must parse within it.
    if (data[0] != 'R' || data[1] != 'I' || data[2] != 'F' || data[3] != 'F') return false;
    const std::size_t riff = static_cast<std::size_t>(data[4]) | static_cast<std::size_t>(data[5]) << 8 |
                             static_cast<std::size_t>(data[6]) << 16 | static_cast<std::size_t>(data[7]) << 24;
    if (riff > data.size() - 8) return false;
    data.resize(riff + 8);
    if (!ParseWav(data.data(), data.size(), nullptr)) return false;
    out = std::move(data);
    return true;
}

void NaviClickSound::Load(const CString& folder) {
    CString path = folder;
    path += CString(u"\\click.wav");
    ReadSoundFile(path, m_sound);
}

void NaviClickSound::Play() {
    if (m_sound.empty()) return;
    ::PlaySoundW(reinterpret_cast<LPCWSTR>(m_sound.data()), nullptr, SND_ASYNC | SND_MEMORY);
}
