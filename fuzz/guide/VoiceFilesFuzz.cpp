// Arbitrary bytes as one of the six clip files (the first input byte chooses which); the player
// must load or refuse it and then play every prompt kind without reading outside what it loaded.
#include "fuzz/guide/FuzzRoot.h"
#include "platform/sound/Sound.h"
#include "position/SoundIndex.h"
#include "position/VoicePlayer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string mapData = GuideFuzzRoot("velko_voice_fuzz") + "/MapData";
    static const char* const kFiles[6] = {"Wav.idx", "Wav.dat", "AddWav.idx", "AddWav.dat", "MsgWav.idx", "MsgWav.dat"};
    WriteVoiceFiles(mapData);
    WriteInput(mapData + "/Wave/" + kFiles[data[0] % 6], data + 1, size - 1);
    SoundSetOutput(nullptr);
    CSoundIndex::Destroy();
    CVoicePlayer player;
    player.SetDataFolder(u"\\MapData");
    player.SetPlaySound(false);
    if (!player.Load(true)) {
        if (player.PlayRequest({23, 12, 0, 0, 0}) || player.PlayMessage(1)) std::abort();
        return 0;
    }
    const std::int32_t names[6] = {1, 2, 3, 0, 0, 0};
    for (int code = 1; code <= 68; ++code) player.PlayRequest({23, code, 38, 17, 12}, names);
    for (int id = 1; id <= 24; ++id) player.PlayMessage(id);
    for (int id = 168; id <= 179; ++id) player.PlayAddWav(id);
    for (int code = 59; code <= 62; ++code) player.PlayFixed(code);
    player.PlayUserPoint(3);
    player.PlayPrompt(18, 41, 1, 1, 80);
    CSoundIndex::Destroy();
    return 0;
}
