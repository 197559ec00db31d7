// The hand-off to the menu program, on the real settings file.
#include <gtest/gtest.h>
#include <string.h>

#include "app/globals.h"
#include "app/handoff.h"
#include "app/picture_set.h"
#include "support/desktop.h"

namespace {

std::string Get(const char *section, const char *key)
{
    char text[1024];
    GetPrivateProfileStringA(section, key, "<absent>", text, sizeof text, "talvix.ini");
    return text;
}

class HandoffTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSettings();
        ReturnRequested = 0;
        HandoffMarker = 0;
        CurrentImage = 0;
    }
    void TearDown() override { RemoveSettings(); }
    // The menu program clears its entry and starts the viewer, which the
    // user leaves by the return button on picture `number`.
    void ReturnOn(int number)
    {
        WritePrivateProfileStringA("Menu", nullptr, nullptr, "talvix.ini");
        ArmHandoff();
        CurrentImage = number - 1;
        ReturnRequested = 1;
        WriteHandoff();
    }
};

TEST_F(HandoffTest, ArmedOnlyByAbsentEmptyOrSentinel)
{
    const struct { const char *settings; int marker; } cases[] = {
        {nullptr, HANDOFF_ARMED},
        {"[Other]\r\nrun=x\r\n", HANDOFF_ARMED},
        {"[Menu]\r\nReturn=ORBVUE 3\r\n", HANDOFF_ARMED},
        {"[Menu]\r\nrun=\r\n", HANDOFF_ARMED},
        {"[Menu]\r\nrun=Quolmarex\r\n", HANDOFF_ARMED},
        {"[MENU]\r\nRUN=Quolmarex\r\n", HANDOFF_ARMED},
        {"[Menu]\r\nrun=quolmarex\r\n", HANDOFF_NOT_ARMED},
        {"[Menu]\r\nrun=Quolmarex2\r\n", HANDOFF_NOT_ARMED},
        {"[Menu]\r\nRun=GAMES 2\r\n", HANDOFF_NOT_ARMED},
    };
    for (const auto &c : cases) {
        if (c.settings)
            WriteSettings(c.settings);
        else
            RemoveSettings();
        HandoffMarker = 0;
        ArmHandoff();
        EXPECT_EQ(c.marker, HandoffMarker) << (c.settings ? c.settings : "no file");
    }
}

TEST_F(HandoffTest, WritesRunThenReturnForThePictureLeft)
{
    ReturnOn(4);
    EXPECT_EQ("Quolmarex", Get("Menu", "Run"));
    EXPECT_EQ("ORBVUE 4", Get("Menu", "Return"));
    // Run comes first in the file.
    std::string file = ReadSettings();
    EXPECT_LT(file.find("Run="), file.find("Return="));

    const std::string text127(127, 'k');
    WriteSettings("[Lens]\r\n4=" + text127 + "\r\n10=PAINT 7\r\n1=first\r\n");
    ReturnOn(4);
    EXPECT_EQ(text127, Get("Menu", "Run"));
    ReturnOn(10);
    EXPECT_EQ("PAINT 7", Get("Menu", "Run"));
    EXPECT_EQ("ORBVUE 10", Get("Menu", "Return"));

    WriteSettings("[Lens]\r\n4=" + std::string(300, 'z') + "\r\n");
    ReturnOn(4);
    EXPECT_EQ(std::string(127, 'z'), Get("Menu", "Run"));
    WriteSettings("[Lens]\r\n4=\r\n");
    ReturnOn(4);
    EXPECT_EQ("Quolmarex", Get("Menu", "Run"));
}

TEST_F(HandoffTest, NothingWrittenWithoutReturnOrWhenNotArmed)
{
    const std::string settings = "[Menu]\r\nrun=GAMES\r\n[Lens]\r\n4=x\r\n";
    WriteSettings(settings);
    ArmHandoff();   // not armed
    CurrentImage = 3;
    ReturnRequested = 1;
    WriteHandoff();
    EXPECT_EQ(settings, ReadSettings());
    RemoveSettings();
    ArmHandoff();
    ReturnRequested = 0;   // left by the exit button
    WriteHandoff();
    EXPECT_EQ("", ReadSettings());
    HandoffMarker = 12345;   // neither value: never writes
    ReturnRequested = 1;
    WriteHandoff();
    EXPECT_EQ("", ReadSettings());
}

TEST_F(HandoffTest, NextStartReadsWhatThisOneWrote)
{
    ReturnOn(2);   // writes the sentinel: the next start is armed again
    ArmHandoff();
    EXPECT_EQ(HANDOFF_ARMED, HandoffMarker);
    WriteSettings("[Lens]\r\n2=SPHERES 5\r\n");
    ReturnOn(2);
    ArmHandoff();
    EXPECT_EQ(HANDOFF_NOT_ARMED, HandoffMarker);
    ReturnRequested = 1;
    WriteHandoff();   // that start writes nothing
    EXPECT_EQ("SPHERES 5", Get("Menu", "Run"));
}

// Every section and key as the profile functions read them: names, then
// each section's lines, in file order.
std::vector<std::string> Entries()
{
    std::vector<std::string> out;
    std::vector<char> names(65536), lines(65536);
    DWORD n = GetPrivateProfileSectionNamesA(names.data(), DWORD(names.size()), "talvix.ini");
    for (const char *p = names.data(); p < names.data() + n && *p; p += strlen(p) + 1) {
        out.push_back(std::string("[") + p + "]");
        DWORD m = GetPrivateProfileSectionA(p, lines.data(), DWORD(lines.size()), "talvix.ini");
        for (const char *q = lines.data(); q < lines.data() + m && *q; q += strlen(q) + 1)
            out.push_back(q);
    }
    return out;
}

// Every other section, key and comment stays as it was. (Wine's profile
// writer rewrites the whole file, dropping blank lines and the blanks
// around "=", so the comparison is of what the profile functions read.)
TEST_F(HandoffTest, OtherContentSurvives)
{
    WriteSettings("; settings of the menu program\r\n"
                  "[Games]\r\n"
                  "Count=3\r\n"
                  "Spaced = as typed ; with a comment\r\n"
                  "Path=C:\\games\\\r\n"
                  "\r\n"
                  "[Lens]\r\n"
                  "Rootdir=PICS\\\r\n"
                  "4=Back to menu\r\n"
                  "[Selection]\r\n"
                  "Image1=ART\\P1.BMP\r\n"
                  "[Menu]\r\n"
                  "Last=7\r\n");
    std::vector<std::string> before = Entries();
    ArmHandoff();
    CurrentImage = 3;
    ReturnRequested = 1;
    WriteHandoff();
    before.push_back("Run=Back to menu");
    before.push_back("Return=ORBVUE 4");
    EXPECT_EQ(before, Entries());
    EXPECT_EQ(0u, ReadSettings().find("; settings of the menu program\r\n"));
}

}  // namespace

namespace {

// A settings file as other programs leave it: other sections, comments,
// long values, keys in other letter cases and bytes of every kind.
TEST_F(HandoffTest, HostileSettingsFile)
{
    std::string odd;
    for (int c = 0xA0; c < 0x100; c++)
        odd += char(c);
    const std::string before = "; menu program settings\r\n"
                               "[Games]\r\n"
                               "Title=" + odd + "\r\n"
                               "Long=" + std::string(1500, 'L') + "\r\n"
                               "Tab=a\tb=c [d]\r\n"
                               "[LENS]\r\n"
                               "ROOTDIR=" + std::string(60, 'r') + "\\\r\n"
                               "4=" + std::string(200, 'm') + "\r\n"
                               "[selection]\r\n"
                               "IMAGE2=" + std::string(130, 'n') + ".BMP\r\n"
                               "[menu]\r\n";
    WriteSettings(before);
    ReadRootDir();
    EXPECT_EQ(std::string(48, 'r'), RootDir);
    ReadImageNames();
    EXPECT_EQ(std::string(127, 'n'), ImageSlot[1]);
    EXPECT_STREQ("LIMAGE3.BMP", ImageSlot[2]);
    ArmHandoff();
    EXPECT_EQ(HANDOFF_ARMED, HandoffMarker);
    CurrentImage = 3;
    ReturnRequested = 1;
    WriteHandoff();
    // Everything but the two keys is as it was, byte for byte.
    bool same = ReadSettings() == before + "Run=" + std::string(127, 'm') + "\r\nReturn=ORBVUE 4\r\n";
    EXPECT_TRUE(same);
    // "run" and "Run" are one entry: the key keeps the spelling it has.
    WriteSettings("[MENU]\r\nRUN=\r\n");
    ArmHandoff();
    WriteHandoff();
    EXPECT_EQ("[MENU]\r\nRUN=Quolmarex\r\nReturn=ORBVUE 4\r\n", ReadSettings());
    RootDir[0] = 0;
}

}  // namespace
