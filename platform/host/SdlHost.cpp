#include "platform/host/SdlHost.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/host/ScriptRunner.h"
#include "platform/sound/Sound.h"
#include "platform/threads/Threads.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// Plays clips through an SDL audio device (signed 16-bit), converting each clip's format and
// applying the wave-out volume.
class SdlAudioOutput : public SoundOutput {
public:
    explicit SdlAudioOutput(SDL_AudioDeviceID device, const SDL_AudioSpec& spec)
        : m_device(device), m_spec(spec) {}
    void Play(const SoundClip& clip) override {
        const SDL_AudioFormat from = clip.format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        SDL_AudioStream* stream =
            SDL_NewAudioStream(from, static_cast<Uint8>(clip.format.channels), clip.format.samplesPerSecond,
                               m_spec.format, m_spec.channels, m_spec.freq);
        if (!stream) return;
        const BYTE* pcm = clip.image.data() + clip.format.dataOffset;
        const std::size_t size = std::min(clip.format.dataSize, clip.image.size() - clip.format.dataOffset);
        if (SDL_AudioStreamPut(stream, pcm, static_cast<int>(size)) == 0) {
            SDL_AudioStreamFlush(stream);
            std::vector<Sint16> out(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)) / 2 + 1);
            const int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size() * 2));
            if (got > 0) {
                const int volume = m_volume;
                for (int i = 0; i < got / 2; ++i)
                    out[static_cast<std::size_t>(i)] =
                        static_cast<Sint16>(out[static_cast<std::size_t>(i)] * volume / 65535);
                SDL_QueueAudio(m_device, out.data(), static_cast<Uint32>(got));
            }
        }
        SDL_FreeAudioStream(stream);
        SDL_PauseAudioDevice(m_device, 0);
    }
    void Stop() override { SDL_ClearQueuedAudio(m_device); }
    void SetVolume(WORD volume) override { m_volume = volume; }

private:
    SDL_AudioDeviceID m_device;
    SDL_AudioSpec m_spec;
    int m_volume = 0xFFFF;
};

BYTE KeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<BYTE>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<BYTE>('0' + (key - SDLK_0));
    switch (key) {
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_F1:
        return VK_APP1; // the handheld's application buttons
    case SDLK_F2:
        return VK_APP2;
    case SDLK_F3:
        return VK_APP3;
    case SDLK_F4:
        return VK_APP4;
    case SDLK_F5:
        return VK_APP5;
    case SDLK_F6:
        return VK_APP6;
    default:
        return 0;
    }
}

} // namespace

struct SdlHost::Impl {
    SdlHostOptions options;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    SDL_AudioDeviceID audio = 0;
    SDL_Cursor* waitCursor = nullptr;
    SDL_Cursor* arrowCursor = nullptr;
    bool waitShown = false;
    bool videoStarted = false;
    bool penDown = false;
    int width = 240;
    int height = 320;
    std::uint64_t presented = 0;
    std::unique_ptr<ScriptRunner> runner;
    SimulatedClock clock;
    std::string error;
    std::vector<std::uint32_t> lastFrame;

    void Render() {
        gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
        if (!screen || !texture) return;
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0) return;
        for (int y = 0; y < height && y < screen->Height(); ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(pixels) +
                                                         static_cast<std::ptrdiff_t>(y) * pitch);
            for (int x = 0; x < width && x < screen->Width(); ++x) {
                const COLORREF c = screen->GetColor(x, y);
                row[x] = 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
                         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
            }
        }
        SDL_UnlockTexture(texture);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        // Keep what was drawn before presenting; the back buffer is undefined afterwards.
        const int w = width * options.scale;
        const int h = height * options.scale;
        std::vector<std::uint32_t> read(static_cast<std::size_t>(w) * h);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, read.data(), w * 4) == 0) {
            lastFrame.assign(static_cast<std::size_t>(width) * height, 0);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    lastFrame[static_cast<std::size_t>(y) * width + x] =
                        read[static_cast<std::size_t>(y) * options.scale * w +
                             static_cast<std::size_t>(x) * options.scale] &
                        0xFFFFFFu;
        }
        SDL_RenderPresent(renderer);
    }

    void Present(bool force) {
        const bool changed = WinComposeScreen();
        if (changed || force || presented == 0) {
            Render();
            ++presented;
        }
        const bool wait = WinIsWaitCursor();
        if (wait != waitShown) {
            SDL_SetCursor(wait ? waitCursor : arrowCursor);
            waitShown = wait;
        }
    }

    // One SDL event to the window system; true when it became input.
    bool Translate(const SDL_Event& e) {
        auto screenX = [&](int x) { return std::clamp(x / options.scale, 0, width - 1); };
        auto screenY = [&](int y) { return std::clamp(y / options.scale, 0, height - 1); };
        switch (e.type) {
        case SDL_QUIT:
            PostQuitMessage(0);
            return true;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button != SDL_BUTTON_LEFT) return false;
            penDown = true;
            WinInjectPen(WM_LBUTTONDOWN, screenX(e.button.x), screenY(e.button.y));
            return true;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT || !penDown) return false;
            penDown = false;
            WinInjectPen(WM_LBUTTONUP, screenX(e.button.x), screenY(e.button.y));
            return true;
        case SDL_MOUSEMOTION:
            if (!penDown) return false; // a pen only moves while it touches
            WinInjectPen(WM_MOUSEMOVE, screenX(e.motion.x), screenY(e.motion.y));
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const BYTE vk = KeyFromSdl(e.key.keysym.sym);
            if (!vk) return false;
            keybd_event(vk, static_cast<BYTE>(e.key.keysym.scancode),
                        e.type == SDL_KEYUP ? KEYEVENTF_KEYUP : 0, 0);
            return true;
        }
        case SDL_TEXTINPUT: {
            // ASCII arrives as keys (TranslateMessage makes the characters); the rest (Hangul) as text.
            bool any = false;
            for (char16_t ch : Utf8ToUtf16(e.text.text))
                if (ch >= 0x80) any = WinInjectChar(ch) || any;
            return any;
        }
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Render();
            return false;
        default:
            return false;
        }
    }

    bool InteractiveIdle() {
        Present(false);
        int timeout = 10;
        if (auto due = WinNextTimerDue()) {
            const std::uint64_t now = TheClock().TickCount();
            timeout = *due <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(*due - now, 10));
        }
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, timeout)) {
            Translate(e);
            while (SDL_PollEvent(&e)) Translate(e);
        }
        return true;
    }

    // The user-interface thread sleeps inside a loop of its own (a simulated drive): the window
    // stays presented and the person's input is taken meanwhile.
    void InteractiveSleep(DWORD ms) {
        Clock& clock = TheClock();
        const std::uint64_t end = clock.TickCount() + ms;
        for (;;) {
            Present(false);
            SDL_Event e;
            while (SDL_PollEvent(&e)) Translate(e);
            const std::uint64_t now = clock.TickCount();
            if (now >= end) return;
            clock.Sleep(static_cast<DWORD>(std::min<std::uint64_t>(end - now, 10)));
        }
    }

    void PumpForScript() {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            // A script drives the input; only closing the window is taken from the person.
            if (e.type == SDL_QUIT) PostQuitMessage(0);
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) Render();
        }
        Present(false);
    }
};

SdlHost::SdlHost(SdlHostOptions options) : m_impl(std::make_unique<Impl>()) {
    m_impl->options = std::move(options);
    m_impl->options.scale = std::clamp(m_impl->options.scale, 1, 8);
}

SdlHost::~SdlHost() {
    Impl& s = *m_impl;
    if (s.audio) {
        SoundSetOutput(nullptr);
        SDL_CloseAudioDevice(s.audio);
    }
    if (s.waitCursor) SDL_FreeCursor(s.waitCursor);
    if (s.arrowCursor) SDL_FreeCursor(s.arrowCursor);
    if (s.texture) SDL_DestroyTexture(s.texture);
    if (s.renderer) SDL_DestroyRenderer(s.renderer);
    if (s.window) SDL_DestroyWindow(s.window);
    if (s.videoStarted) SDL_Quit();
}

bool SdlHost::Open(std::string* error) {
    Impl& s = *m_impl;
    auto fail = [&](const std::string& why) {
        s.error = why + ": " + SDL_GetError();
        if (error) *error = s.error;
        return false;
    };
    if (!s.options.script.empty()) {
        std::vector<ScriptCommand> commands;
        std::string why;
        if (!LoadScript(s.options.script, commands, &why)) {
            s.error = why;
            if (error) *error = why;
            return false;
        }
        s.runner = std::make_unique<ScriptRunner>(std::move(commands), s.options.outDir);
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return fail("SDL video does not start");
    s.videoStarted = true;
    if (gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap())) {
        s.width = screen->Width();
        s.height = screen->Height();
    }
    s.window = SDL_CreateWindow(s.options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                s.width * s.options.scale, s.height * s.options.scale, 0);
    if (!s.window) return fail("no SDL window");
    s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
    if (!s.renderer) return fail("no SDL renderer");
    s.texture = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, s.width,
                                  s.height);
    if (!s.texture) return fail("no SDL texture");
    SDL_SetTextureBlendMode(s.texture, SDL_BLENDMODE_NONE);
    s.waitCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    s.arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (s.options.audio && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        SDL_AudioSpec have{};
        s.audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                      SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        // Without a device the sounds are timed but silent.
        if (s.audio) SoundSetOutput(std::make_shared<SdlAudioOutput>(s.audio, have));
    }
    SDL_StartTextInput();
    return true;
}

int SdlHost::Run(const std::function<int()>& app) {
    Impl& s = *m_impl;
    if (!s.renderer) {
        s.error = "the host is not open";
        return 3;
    }
    bool ownClock = false;
    if (s.runner) {
        ownClock = !TheClock().IsSimulated();
        // The script's time, moved by its waits alone (see the headless host).
        if (ownClock) {
            s.clock.SetHosted(true);
            InstallClock(&s.clock);
        }
    }
    ShellCreateStandIns();
    if (s.runner) {
        std::shared_ptr<SoundOutput> audio = SoundGetOutput();
        if (!s.runner->Install(&s.error)) {
            ShellDestroyStandIns();
            if (ownClock) InstallClock(nullptr);
            return 3;
        }
        // The script's recorder logs the sounds; they are not played aloud in a scripted run.
        (void)audio;
        s.runner->beforeStep = [&s] { s.PumpForScript(); };
        s.runner->saveFrame = [&s](const std::string& path) {
            s.Present(true);
            if (s.lastFrame.empty()) return false;
            HBITMAP frame = CreateCompatibleBitmap(nullptr, s.width, s.height);
            gdi::Bitmap* b = gdi::Resolve<gdi::Bitmap>(frame);
            if (!b) return false;
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x) {
                    const std::uint32_t p = s.lastFrame[static_cast<std::size_t>(y) * s.width + x];
                    b->SetColor(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
                }
            const bool ok = GdiSavePng(frame, path);
            DeleteObject(frame);
            return ok;
        };
    } else {
        WinSetIdleHandler([&s](int) { return s.InteractiveIdle(); });
        SetLoopSleepHook([&s](DWORD ms) { s.InteractiveSleep(ms); });
    }
    s.Present(true);
    const int code = app();
    int result = code;
    if (s.runner) {
        s.runner->Uninstall();
        s.runner->WriteLogs();
        if (s.runner->Failed()) result = 3;
    } else {
        WinSetIdleHandler(nullptr);
        SetLoopSleepHook(nullptr);
    }
    ShellDestroyStandIns();
    if (ownClock) InstallClock(nullptr);
    return result;
}

bool SdlHost::ReadFrame(std::vector<std::uint32_t>& pixels, int* width, int* height) {
    Impl& s = *m_impl;
    if (!s.renderer) return false;
    s.Present(true);
    if (s.lastFrame.empty()) return false;
    pixels = s.lastFrame;
    if (width) *width = s.width;
    if (height) *height = s.height;
    return true;
}

std::string SdlHost::Failure() const {
    if (!m_impl->error.empty()) return m_impl->error;
    return m_impl->runner ? m_impl->runner->Failure() : std::string();
}
