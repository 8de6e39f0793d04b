#include <gtest/gtest.h>

#include "tools/sonvar/command_line.h"

namespace talvio {
namespace {

TEST(SonvarCommandLineTest, QuotedValuesArriveWithoutTheirQuotes) {
    const SonvarOptions options = ScanSonvarCommandLine(
        L"\"C:\\Program Files\\Talvio\\Sonvar.exe\" /o \"USB Audio Device\" /i 'USB Mic In'");
    EXPECT_EQ(options.playback, L"USB Audio Device");
    EXPECT_EQ(options.record, L"USB Mic In");
    EXPECT_FALSE(options.usbOnly);
}

TEST(SonvarCommandLineTest, BareValuesEndAtASpaceButNotAtATab) {
    const SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /o\tUSB\tSpeaker rest /i Mic");
    EXPECT_EQ(options.playback, L"USB\tSpeaker");
    EXPECT_EQ(options.record, L"Mic");
}

TEST(SonvarCommandLineTest, UsbOnlyFlagAndLongerOptionWords) {
    SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /a /output Speakers");
    EXPECT_TRUE(options.usbOnly);
    EXPECT_EQ(options.playback, L"Speakers");
    EXPECT_TRUE(options.record.empty());

    options = ScanSonvarCommandLine(L"Sonvar.exe /o X/a");
    EXPECT_FALSE(options.usbOnly) << "a slash inside a value is part of it";
    EXPECT_EQ(options.playback, L"X/a");

    options = ScanSonvarCommandLine(L"Sonvar.exe /a/o Y");
    EXPECT_TRUE(options.usbOnly) << "scanning goes on right after the a";
    EXPECT_EQ(options.playback, L"Y");
}

TEST(SonvarCommandLineTest, OptionLettersAreLowerCaseOnly) {
    const SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /O Speakers /I Mic /A");
    EXPECT_TRUE(options.playback.empty());
    EXPECT_TRUE(options.record.empty());
    EXPECT_FALSE(options.usbOnly);
}

TEST(SonvarCommandLineTest, EmptyValuesAreIgnoredAndLaterValuesWin) {
    SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /o \"\" /i ''");
    EXPECT_TRUE(options.playback.empty());
    EXPECT_TRUE(options.record.empty());

    options = ScanSonvarCommandLine(L"Sonvar.exe /o First /o \"\" /o Second");
    EXPECT_EQ(options.playback, L"Second");

    options = ScanSonvarCommandLine(L"Sonvar.exe /o");
    EXPECT_TRUE(options.playback.empty());
    options = ScanSonvarCommandLine(L"Sonvar.exe /");
    EXPECT_TRUE(options.playback.empty());
}

TEST(SonvarCommandLineTest, AnUnclosedQuoteRunsToTheEnd) {
    const SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /i \"USB Mic /o x");
    EXPECT_EQ(options.record, L"USB Mic /o x");
    EXPECT_TRUE(options.playback.empty());
}

TEST(SonvarCommandLineTest, OtherLettersSkipTheirWordOtherCharactersDoNot) {
    SonvarOptions options = ScanSonvarCommandLine(L"Sonvar.exe /xo Speakers");
    EXPECT_TRUE(options.playback.empty());
    options = ScanSonvarCommandLine(L"Sonvar.exe //o Speakers");
    EXPECT_EQ(options.playback, L"Speakers");
}

TEST(SonvarCommandLineTest, ValuesAreCutTo255Characters) {
    const std::wstring longName(300, L'n');
    const SonvarOptions options =
        ScanSonvarCommandLine(L"Sonvar.exe /o \"" + longName + L"\" /i " + longName);
    EXPECT_EQ(options.playback, longName.substr(0, 255));
    EXPECT_EQ(options.record, longName.substr(0, 255));
}

}  // namespace
}  // namespace talvio
