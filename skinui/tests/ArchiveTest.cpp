// The skin archive reader against archives written byte by byte here.
#include "SkinTestSupport.h"

#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviResArchive.h"

#include <filesystem>
#include <memory>

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void Write(const Bytes& bytes) {
        root.MakeFile("res/ResData.bin", std::string(bytes.begin(), bytes.end()));
    }
    std::unique_ptr<NaviBitmap> Load(const char16_t* name) {
        return std::unique_ptr<NaviBitmap>(builder.LoadImage(name));
    }
    TempRoot root;
    NaviRcBuilder builder;
};

} // namespace

TEST_F(ArchiveTest, CountOfZeroOrBelowIsAnEmptyIndex) {
    for (int count : {0, -1}) {
        Write(ArchiveBytes({{"Window\\Top", SolidPng(4, 4, RGB(1, 2, 3))}}, count));
        builder.OpenSkin(u"\\res");
        EXPECT_TRUE(builder.GetArchive()->Index().empty()) << count;
        EXPECT_EQ(Load(u"Window\\Top"), nullptr) << count;
    }
}

TEST_F(ArchiveTest, NamesAreWholeCaseSensitiveStringsAndTheLaterDuplicateWins) {
    Write(ArchiveBytes({{"Window\\Button", SolidPng(3, 2, RGB(1, 2, 3))},
                        {"Window\\Button", SolidPng(7, 5, RGB(4, 5, 6))},
                        {Cp949(u"Interest\\icon\\Map\\스피커"), SolidPng(6, 6, RGB(7, 8, 9))}},
                       3));
    builder.OpenSkin(u"\\res");
    auto later = Load(u"Window\\Button");
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->GetWidth(), 7);
    EXPECT_EQ(later->GetHeight(), 5);
    EXPECT_EQ(Load(u"window\\button"), nullptr);
    EXPECT_EQ(Load(u"Window\\Button "), nullptr);
    auto korean = Load(u"Interest\\icon\\Map\\스피커");
    ASSERT_NE(korean, nullptr);
    EXPECT_EQ(korean->GetWidth(), 6);
    EXPECT_EQ(builder.GetArchive()->Index().size(), 2u);
}

TEST_F(ArchiveTest, NameFillingAllTwoHundredFiftySixBytesIsTakenWhole) {
    const std::string full(256, 'A');
    Write(ArchiveBytes({{full, SolidPng(2, 2, RGB(1, 1, 1))}, {"B", SolidPng(2, 2, RGB(1, 1, 1))}}, 2));
    builder.OpenSkin(u"\\res");
    EXPECT_NE(Load(std::u16string(256, u'A').c_str()), nullptr);
    // The next field's bytes (the offset) are not part of the name.
    EXPECT_EQ(builder.GetArchive()->Index().count(std::u16string(256, u'A')), 1u);
    EXPECT_NE(Load(u"B"), nullptr);
}

TEST_F(ArchiveTest, EntriesOutsideTheFileOrTooLargeAreRefusedAndTheRestKept) {
    const Bytes png = SolidPng(2, 2, RGB(9, 9, 9));
    ArchiveEntry pastEnd{"Past", {}, true, 100, 100000};
    ArchiveEntry huge{"Huge", {}, true, 10, kMaxSkinEntry + 1};
    ArchiveEntry wraps{"Wraps", {}, true, 0xFFFFFFF0u, 0x20};
    // The good entry's data follows the three forced ones.
    Bytes bytes = ArchiveBytes({pastEnd, huge, wraps, {"Good", png}}, 4);
    Write(bytes);
    builder.OpenSkin(u"\\res");
    EXPECT_EQ(Load(u"Past"), nullptr);
    EXPECT_EQ(Load(u"Huge"), nullptr);
    EXPECT_EQ(Load(u"Wraps"), nullptr);
    auto good = Load(u"Good");
    ASSERT_NE(good, nullptr);
    EXPECT_FALSE(good->IsEmpty());
}

TEST_F(ArchiveTest, CutTableKeepsItsCompleteEntries) {
    Bytes bytes = ArchiveBytes({{"One", {}, true, 0, 10}, {"Two", {}, true, 0, 10}, {"Three", {}, true, 0, 10}}, 3);
    bytes.resize(10 + 264 * 2 + 100);
    Write(bytes);
    builder.OpenSkin(u"\\res");
    const auto& index = builder.GetArchive()->Index();
    EXPECT_EQ(index.size(), 2u);
    EXPECT_EQ(index.count(u"One"), 1u);
    EXPECT_EQ(index.count(u"Two"), 1u);
}

TEST_F(ArchiveTest, ShortReadGivesAnImageWithoutPixelsAndBadDataToo) {
    Write(ArchiveBytes({{"Pic", SolidPng(5, 5, RGB(1, 2, 3))}, {"Junk", Bytes(40, 0x55)}}, 2));
    builder.OpenSkin(u"\\res");
    auto junk = Load(u"Junk");
    ASSERT_NE(junk, nullptr);
    EXPECT_TRUE(junk->IsEmpty());
    // The file shrinks under the open archive.
    std::filesystem::resize_file(root.Host("res/ResData.bin"), 10 + 264 * 2 + 20);
    auto pic = Load(u"Pic");
    ASSERT_NE(pic, nullptr);
    EXPECT_TRUE(pic->IsEmpty());
    EXPECT_EQ(pic->GetWidth(), 0);
}

TEST_F(ArchiveTest, SecondOpenRebuildsTheIndexFromTheNewFolder) {
    Write(ArchiveBytes({{"First", SolidPng(2, 2, RGB(1, 2, 3))}}, 1));
    root.MakeFile("other/ResData.bin", [] {
        const Bytes b = ArchiveBytes({{"Second", SolidPng(3, 3, RGB(1, 2, 3))}}, 1);
        return std::string(b.begin(), b.end());
    }());
    builder.OpenSkin(u"\\res");
    EXPECT_NE(Load(u"First"), nullptr);
    builder.OpenSkin(u"\\other");
    EXPECT_EQ(Load(u"First"), nullptr);
    EXPECT_NE(Load(u"Second"), nullptr);
    EXPECT_EQ(builder.GetSkinFolder(), CString(u"\\other"));
    // A folder without an archive empties the index.
    builder.OpenSkin(u"\\nowhere");
    EXPECT_EQ(Load(u"Second"), nullptr);
}

TEST_F(ArchiveTest, WithoutAnArchiveEveryLookupIsNullAndControlsDrawNothing) {
    EXPECT_EQ(Load(u"Window\\Top"), nullptr); // never opened
    builder.OpenSkin(u"\\res");
    EXPECT_EQ(Load(u"Window\\Top"), nullptr);
    builder.SetImageGroup(u"Window");
    std::unique_ptr<NaviFrameWnd> frame(builder.CreateFrameWnd(u"Title", true, true, 10, 10, 50, 20));
    Canvas canvas(80, 40);
    frame->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(frame->GetImage(), nullptr);
}

TEST(RcBuilder, DefaultsBeforeAnySkin) {
    NaviRcBuilder builder;
    EXPECT_EQ(builder.GetScreenWidth(), 240);
    EXPECT_EQ(builder.GetScreenHeight(), 320);
    EXPECT_TRUE(builder.GetClickSound());
    EXPECT_EQ(builder.GetDeviceType(), 0);
    EXPECT_EQ(builder.GetButtonCount(), 0);
    EXPECT_TRUE(builder.GetImageGroup().IsEmpty());
}
