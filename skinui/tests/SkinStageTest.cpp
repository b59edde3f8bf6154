// The sample device's skin stage: its manifests, the styles as the image class reads them, the
// archive it packs and its click.
#include "SkinTestSupport.h"

#include "platform/sound/Sound.h"
#include "tools/mkdevice/SkinStage.h"

#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

std::unique_ptr<NaviBitmap> Drawn(const char* name, int w, int h, const char* style, const char16_t* caption,
                                  COLORREF fill, COLORREF ink) {
    mkdev::SkinImageSpec spec;
    spec.name = name;
    spec.width = w;
    spec.height = h;
    spec.style = style;
    spec.caption = caption;
    spec.fill = fill;
    spec.ink = ink;
    const std::vector<std::uint8_t> png = mkdev::DrawSkinImage(spec);
    auto image = std::make_unique<NaviBitmap>();
    EXPECT_TRUE(image->LoadFromMemory(png.data(), png.size())) << name;
    return image;
}

COLORREF At(const NaviBitmap& image, int x, int yFromTop) {
    return NaviBitmap::RGBQUADtoRGB(image.GetPixelColor(x, image.GetHeight() - 1 - yFromTop));
}

} // namespace

TEST(SkinStage, ClickIsFortyMillisecondsOfMonoSixteenBitAt22050) {
    const std::vector<std::uint8_t> wav = mkdev::ClickWav();
    // 22,050 x 0.040 = 882 samples of 2 bytes after a 44-byte header.
    ASSERT_EQ(wav.size(), 44u + 1764u);
    EXPECT_EQ(wav[4] | wav[5] << 8, 1800);
    WavFormat format;
    ASSERT_TRUE(ParseWav(wav.data(), wav.size(), &format));
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.samplesPerSecond, 22050);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.DurationMs(), 40u);
}

TEST(SkinStage, StylesComeOutInTheirDepthsWithTheKeyOutsideTheShape) {
    auto icon = Drawn("I", 16, 16, "pal8t", u"주", RGB(200, 60, 0), RGB(255, 255, 255));
    EXPECT_EQ(icon->GetBpp(), 8);
    EXPECT_EQ(icon->GetBkgndIndex(), 0);
    EXPECT_EQ(icon->GetPixelIndex(0, 15), 0); // top-left: the transparent entry
    EXPECT_EQ(At(*icon, 0, 0), RGB(31, 127, 255));

    auto body = Drawn("B", 20, 20, "body", u"IC", RGB(10, 90, 170), RGB(255, 255, 255));
    EXPECT_EQ(body->GetBpp(), 24);
    const COLORREF key = At(*body, 0, 0);
    EXPECT_EQ(At(*body, 19, 19), key);      // every corner is cut
    EXPECT_EQ(At(*body, 10, 1), RGB(10, 90, 170)); // the body's edge is kept
    int keyInside = 0;
    for (int y = 4; y < 16; ++y)
        for (int x = 4; x < 16; ++x) keyInside += At(*body, x, y) == key;
    EXPECT_EQ(keyInside, 0);

    auto zarn = Drawn("Z", 33, 33, "pal4", u"수신", RGB(30, 120, 60), RGB(255, 255, 255));
    EXPECT_EQ(zarn->GetBpp(), 4);
    auto side = Drawn("S", 4, 30, "pal1", u"-", RGB(30, 80, 140), RGB(0, 0, 0));
    EXPECT_EQ(side->GetBpp(), 1);

    auto strip = Drawn("Bg", 240, 4, "opaque", u"", RGB(238, 242, 248), RGB(238, 242, 248));
    EXPECT_EQ(strip->GetBpp(), 24);
    EXPECT_NE(At(*strip, 0, 0), At(*strip, 1, 0)); // only the top-left pixel is cut when drawn transparently
    EXPECT_EQ(At(*strip, 239, 3), RGB(238, 242, 248));

    auto corner = Drawn("C", 8, 8, "corner-rt", u"", RGB(217, 217, 217), RGB(255, 255, 255));
    EXPECT_EQ(At(*corner, 7, 0), RGB(255, 255, 255)); // outside the rounding
    EXPECT_EQ(At(*corner, 1, 6), RGB(217, 217, 217)); // inside
}

TEST(SkinStage, ManifestLinesAreCheckedAndNamedOnError) {
    TempRoot root;
    const std::string path = root.Host("m.txt");
    std::ofstream(path) << "# comment\n\nWindow\\Top|240x26|opaque|벨코|#1E4E8C|#FFFFFF\n";
    const auto specs = mkdev::ReadSkinManifest(path);
    ASSERT_EQ(specs.size(), 1u);
    EXPECT_EQ(specs[0].caption, u"벨코");
    EXPECT_EQ(specs[0].fill, RGB(0x1E, 0x4E, 0x8C));
    for (const char* bad : {"A|10x10|body|x|#000000", "A|10|body|x|#000000|#000000", "A|10x10|body|x|red|#000000",
                            "A|0x10|body|x|#000000|#000000"}) {
        std::ofstream(path) << "ok|1x1|opaque|-|#000000|#000000\n" << bad << "\n";
        try {
            mkdev::ReadSkinManifest(path);
            ADD_FAILURE() << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(":2:"), std::string::npos) << e.what();
        }
    }
}
