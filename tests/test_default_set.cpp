// The default picture set: made twice, byte for byte the same; every file
// of the size and form the viewer wants; and orbtool check-set content.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "app/picture_set.h"
#include "image/dib.h"
#include "support/bmp_builder.h"
#include "support/desktop.h"

namespace {

std::string Env(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

class DefaultSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Env("ORB_MAKE_DEFAULT_SET").empty() || Env("ORB_ORBTOOL").empty())
            GTEST_SKIP() << "ORB_MAKE_DEFAULT_SET or ORB_ORBTOOL not set";
    }
    bool Make(const char *folder)
    {
        std::string output;
        return RunCapturing("\"" + Env("ORB_MAKE_DEFAULT_SET") + "\" " + folder, &output) == 0;
    }
    static std::vector<std::string> Files()
    {
        std::vector<std::string> files;
        for (int n = 1; n <= 10; n++) {
            files.push_back("LIMAGE" + std::to_string(n) + ".BMP");
            files.push_back("FIMAGE" + std::to_string(n) + ".BMP");
        }
        for (const char *f : InterfaceFiles)
            files.push_back(f);
        files.push_back(CreditsFile);
        files.push_back(HelpFile);
        return files;
    }
};

TEST_F(DefaultSet, TwoRunsGiveTheSameBytes)
{
    ASSERT_TRUE(Make("first"));
    ASSERT_TRUE(Make("second"));
    for (const std::string &f : Files()) {
        std::vector<uint8_t> a = ReadFileBytes("first\\" + f), b = ReadFileBytes("second\\" + f);
        ASSERT_FALSE(a.empty()) << f;
        EXPECT_TRUE(a == b) << f;
    }
}

TEST_F(DefaultSet, EveryFileHasItsSizeAndForm)
{
    ASSERT_TRUE(Make("set"));
    struct Want { std::string name; int width, height; } wants[] = {
        {"lselect.bmp", 126, 277}, {"lbutton.bmp", 126, 86}, {"copyrite.bmp", 33, 33}, {"help.bmp", 33, 33},
        {"exit.bmp", 33, 33},      {"zoom.bmp", 33, 33},     {"LCREDITB.BMP", 640, 480}, {"LHELPB.BMP", 640, 480},
    };
    std::vector<Want> all(std::begin(wants), std::end(wants));
    for (int n = 1; n <= 10; n++) {
        all.push_back({"LIMAGE" + std::to_string(n) + ".BMP", 486, 372});
        all.push_back({"FIMAGE" + std::to_string(n) + ".BMP", 640, 480});
    }
    for (const Want &w : all) {
        std::vector<uint8_t> file = ReadFileBytes("set\\" + w.name);
        ASSERT_GE(file.size(), 54u) << w.name;
        EXPECT_EQ(40, file[14]) << w.name << ": a 40-byte info header";
        DibError error;
        DibBlock *dib = LoadDib(&error, ("set\\" + w.name).c_str());
        ASSERT_NE(nullptr, dib) << w.name << ": " << error;
        EXPECT_EQ(w.width, dib->width) << w.name;
        EXPECT_EQ(w.height, dib->height) << w.name;
        EXPECT_EQ(8u, dib->bitCount) << w.name;
        EXPECT_EQ(0u, dib->info.biCompression) << w.name;
        EXPECT_EQ(256u, dib->info.biClrUsed) << w.name;
        EXPECT_EQ(file.size(), 1078u + dib->info.biSizeImage) << w.name;
        if (w.name[1] == 'I') {   // a painting: the lens must work on it
            EXPECT_EQ(nullptr, PictureUnusableReason(dib)) << w.name;
        }
        FreeDib(dib);
    }
}

TEST_F(DefaultSet, OrbtoolFindsEverythingTheViewerNeeds)
{
    ASSERT_TRUE(Make("checked"));
    RemoveSettings();
    SetCurrentDirectoryA("checked");
    std::string output;
    DWORD code = RunCapturing("\"" + Env("ORB_ORBTOOL") + "\" check-set", &output);
    SetCurrentDirectoryA("..");
    EXPECT_EQ(0u, code) << output;
    size_t lines = 0;
    for (char c : output)
        lines += c == '\n';
    EXPECT_EQ(29u, lines) << output;   // the header and 28 files
}

}  // namespace
