// The main frame and view on the sample device, under the headless window system: the sample is
// built once per test program, each test makes the frame, document and view through the
// single-document template, sets the view up as start-up does (skinned user interface, map
// layers, map window, level, position, colour scheme) and composes the screen.
#pragma once

#include "app/CMainFrame.h"
#include "app/CMainView.h"
#include "app/MapDocState.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "position/GpsReceiver.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace mainview_test {

inline const char16_t* kDataFolder = u"\\Storage Card\\MapData";

inline std::vector<std::uint8_t> ReadCe(const std::u16string& cePath) {
    std::ifstream in(DeviceRoot::Resolve(cePath), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A valid fix at the sample's start position (network coordinates), 03 h.
inline GpsPosRecord ValidFix() {
    GpsPosRecord fix;
    fix.status = 'A';
    fix.hour = 3;
    fix.longitude = 45735368;
    fix.latitude = 13536388;
    fix.hdop = 1.0;
    return fix;
}

inline std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// A document that reads the drawing configuration as the file formats describe it: "para.bin"
// records of 256 name bytes and 64 parameter bytes, "color.bin" and the scheme files of the
// "Color" folder, "level.bin" records of 12 bytes. Which folder it read from is kept for tests.
class TestDoc : public CDocument, public CMapDocState {
    DECLARE_DYNCREATE(TestDoc)
public:
    std::u16string ModeFolder() const { return colorMode >= 0 && colorMode <= 16 ? u"Gray" : u"Color"; }

    bool Load() {
        dataFolder = kDataFolder;
        const std::u16string base(kDataFolder);
        const std::vector<std::uint8_t> para = ReadCe(base + u"\\" + ModeFolder() + u"\\para.bin");
        if (para.size() < 320) return false;
        paraFolder = ModeFolder();
        layers.clear();
        for (std::size_t at = 0; at + 320 <= para.size(); at += 320) {
            const auto* p = para.data() + at;
            const std::size_t len = static_cast<std::size_t>(std::find(p, p + 256, 0) - p);
            MapLayerRecord r;
            r.name = CString(Cp949ToUtf16(std::string(reinterpret_cast<const char*>(p), len)));
            std::copy(p + 256, p + 320, r.params.begin());
            layers.push_back(r);
        }
        if (!LoadColorFile()) return false;
        levelRecords = ReadCe(base + u"\\level.bin");
        if (levelRecords.size() < 16 * 12) return false;
        const double v0 = U32(levelRecords.data() + 4);
        for (int j = 0; j < 16; ++j) {
            const double v = U32(levelRecords.data() + j * 12 + 4);
            const double next = j < 15 ? U32(levelRecords.data() + (j + 1) * 12 + 4) : 0.0;
            levels[j].flag = levelRecords[static_cast<std::size_t>(j) * 12];
            levels[j].ratio = j < 15 ? static_cast<float>(next / v0) : 0.0f;
            levels[j].previous = j == 0 ? 1.0f : static_cast<float>(v / v0);
        }
        return true;
    }

    bool LoadColorFile() {
        const std::vector<std::uint8_t> bytes =
            ReadCe(std::u16string(kDataFolder) + u"\\" + ModeFolder() + u"\\color.bin");
        if (bytes.size() < 64) return false;
        backColor = 0xFFFFFF;
        textColor = 0;
        for (int i = 0; i < 16; ++i) colorTable[i] = U32(bytes.data() + i * 4);
        lastScheme = u"color.bin";
        return true;
    }

    bool LoadSchemeFile(const CString& fileName) override {
        const std::vector<std::uint8_t> bytes = ReadCe(std::u16string(kDataFolder) + u"\\Color\\" + fileName.Str());
        if (bytes.size() < 64) return LoadColorFile();
        for (int i = 0; i < 16; ++i) colorTable[i] = U32(bytes.data() + i * 4);
        backColor = bytes.size() >= 68 ? U32(bytes.data() + 64) : 0xFFFFFF;
        textColor = bytes.size() >= 80 ? U32(bytes.data() + 76) : 0;
        lastScheme = fileName.Str();
        ++schemeLoads;
        return true;
    }

    std::u16string paraFolder;
    std::u16string lastScheme;
    int schemeLoads = 0;
};

// The sample device in a folder of its own (a copy of the shared one under ctest).
struct SampleDevice {
    TempRoot root;
    SampleDevice() { mkdev::MakeSampleDevice(root.Path()); }
};

class MainViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_device = new SampleDevice; }
    static void TearDownTestSuite() {
        delete s_device;
        s_device = nullptr;
    }

    void SetUp() override {
        InstallClock(&m_clock);
        DeviceRoot::ClearOverrides();
        DeviceRoot::SetRoot(s_device->root.Path());
        GdiUseBuiltinFont(true);
        CNaviConfig::DestroyInstance();
        m_config = CNaviConfig::GetInstance();
        m_config->Load(kDataFolder);
        m_config->SetMapColorName(u"기본지도색상", u"주간");
        m_config->SetMapColorName(u"야간지도색상", u"야간");
    }

    void TearDown() override {
        if (m_app && m_app->m_pMainWnd) m_app->m_pMainWnd->DestroyWindow();
        m_app.reset();
        WinResetForTests();
        CNaviConfig::DestroyInstance();
        DeviceRoot::ClearOverrides();
        GdiUseBuiltinFont(false);
        InstallClock(nullptr);
    }

    // Local time (+9 h) of a day in January 2026.
    void SetJanuaryHour(int hour) { m_clock.SetUtc(1768431600000LL + (hour - 8) * 3600000LL); }

    // Frame, document and view, set up as start-up does; the map at the document's position.
    void Open() {
        m_app = std::make_unique<CWinApp>(u"Velko");
        m_app->AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(CMainFrame),
                                                     RUNTIME_CLASS(CMainView)));
        CCommandLineInfo info;
        ASSERT_TRUE(m_app->ProcessShellCommand(info));
        m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_view = dynamic_cast<CMainView*>(m_frame->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        m_doc = dynamic_cast<TestDoc*>(m_view->GetDocument());
        ASSERT_NE(m_doc, nullptr);
        ASSERT_EQ(m_view->GetDocState(), m_doc);
        m_view->SetUpSkinnedUi();
        m_doc->colorMode = m_view->GetDisplayColorCount();
        ASSERT_TRUE(m_doc->Load());
        ASSERT_TRUE(m_doc->LoadSchemeFile(u"Color.bin"));
        ASSERT_TRUE(m_view->OpenMapLayers());
        if (m_vehicleAtMap) {
            m_doc->vehicleX = m_doc->mapX;
            m_doc->vehicleY = m_doc->mapY;
        }
        m_view->SetUpMapWindow();
        m_view->OpenMapAtDocument();
        if (!m_view->UpdateDayNightColors()) m_view->ApplyDayNightColors();
        m_view->SetMapReady(true);
    }

    // Renders the map again with its overlay and composes the screen.
    void Compose() {
        m_view->GetMapWnd().RequestRedraw(1);
        WinDispatchPending();
        WinComposeScreen();
    }
    COLORREF Pixel(int x, int y) { return gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap())->GetColor(x, y); }
    bool SavePng(const std::string& name) {
        return GdiSavePng(GdiGetScreenBitmap(), std::string(VELKO_BINARY_DIR) + "/app/tests/" + name);
    }

    static SampleDevice* s_device;
    SimulatedClock m_clock{1781492400000LL, 9 * 60};
    CNaviConfig* m_config = nullptr;
    std::unique_ptr<CWinApp> m_app;
    CMainFrame* m_frame = nullptr;
    CMainView* m_view = nullptr;
    TestDoc* m_doc = nullptr;
    // The document's vehicle stands where the map is (a first run).
    bool m_vehicleAtMap = false;
};

} // namespace mainview_test
