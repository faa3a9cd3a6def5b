// restore_backup.bat: the forms the tool reads back, and the bytes it writes. (Natively every
// path can be written in the batch code page and as it is; the UTF-8 script, the paths cmd
// cannot open and the scripts themselves are checked under Wine.)
#include "engine/restore_script.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace engine {

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

const std::string kGuard = "@setlocal EnableExtensions DisableDelayedExpansion\r\n";

// The lines of this form after its first line.
const std::string kTwoConversions = Lines({
    "copy /b /y \"/site/b.backup.htm\" \"/site/b.htm\"",
    "if not errorlevel 1 del \"/site/b.backup.htm\"",
    "if not errorlevel 1 del \"/site/b.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "copy /b /y \"/site/100%%.backup.htm\" \"/site/100%%.htm\"",
    "if not errorlevel 1 del \"/site/100%%.backup.htm\"",
    "if not errorlevel 1 del \"/site/styles.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "if not defined stylewick_failed del \"/site/restore_backup.bat\"",
});

// The same conversions as the version before wrote them.
const std::string kTwoConversionsBefore = Lines({
    "copy \"/site/b.backup.htm\" \"/site/b.htm\"",
    "if not errorlevel 1 del \"/site/b.backup.htm\"",
    "if not errorlevel 1 del \"/site/b.css\"",
    "copy \"/site/100%%.backup.htm\" \"/site/100%%.htm\"",
    "if not errorlevel 1 del \"/site/100%%.backup.htm\"",
    "if not errorlevel 1 del \"/site/styles.css\"",
    "del \"/site/restore_backup.bat\"",
});

const std::vector<Conversion> kTwo = {
    {"/site/b.backup.htm", "/site/b.htm", {"/site/b.css"}},
    {"/site/100%.backup.htm", "/site/100%.htm", {"/site/styles.css"}}};

TEST(RestoreScript, ReadsTheFormsTheToolWrites) {
    std::string here = std::filesystem::current_path().string() + "/";
    struct Case {
        const char* label;
        std::string script;
        std::vector<Conversion> conversions;
    } cases[] = {
        {"this form", kGuard + kTwoConversions, kTwo},
        {"this form in UTF-8", kGuard + "chcp 65001 >nul\r\n" + kTwoConversions, kTwo},
        {"a conversion commented out",
         kGuard +
             Lines({"rem copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
                    "rem if not errorlevel 1 del \"/site/a.backup.htm\"",
                    "rem if not errorlevel 1 del \"/site/a.css\"", "set stylewick_failed=1"}) +
             kTwoConversions,
         {{"/site/a.backup.htm", "/site/a.htm", {"/site/a.css"}}, kTwo[0], kTwo[1]}},
        {"a page converted twice",
         kGuard + Lines({"copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
                         "if not errorlevel 1 del \"/site/a.backup.htm\"",
                         "if not errorlevel 1 del \"/site/second.css\"",
                         "if not errorlevel 1 del \"/site/styles.css\"",
                         "if errorlevel 1 set stylewick_failed=1",
                         "if not defined stylewick_failed del \"/site/restore_backup.bat\""}),
         {{"/site/a.backup.htm", "/site/a.htm", {"/site/second.css", "/site/styles.css"}}}},
        {"the version before's form", kTwoConversionsBefore, kTwo},
        {"the version before's form in UTF-8", "chcp 65001 >nul\r\n" + kTwoConversionsBefore, kTwo},
        {"earlier versions' four lines",
         Lines({"copy \"/site/a.backup.htm\" \"/site/a.htm\"", "del \"/site/a.backup.htm\"",
                "del \"/site/styles.css\"", "del restore_backup.bat"}),
         {{"/site/a.backup.htm", "/site/a.htm", {"/site/styles.css"}}}},
        {"earlier versions' relative paths",
         Lines({"copy \"a.backup.htm\" \"a.htm\"", "del \"a.backup.htm\"", "del \"styles.css\"",
                "del restore_backup.bat"}),
         {{here + "a.backup.htm", here + "a.htm", {here + "styles.css"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<Conversion> read;
        ASSERT_TRUE(ReadRestoreScript(c.script, read));
        ASSERT_EQ(read.size(), c.conversions.size());
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].backupPath, c.conversions[i].backupPath);
            EXPECT_EQ(read[i].pagePath, c.conversions[i].pagePath);
            EXPECT_EQ(read[i].sheetPaths, c.conversions[i].sheetPaths);
        }
    }
}

TEST(RestoreScript, RefusesWhatTheToolDoesNotWrite) {
    std::string firstGroup = kTwoConversions.substr(0, kTwoConversions.find("copy", 1));
    std::string firstGroupBefore =
        kTwoConversionsBefore.substr(0, kTwoConversionsBefore.find("copy", 1));
    const std::string scriptDelete =
        "if not defined stylewick_failed del \"/site/restore_backup.bat\"\r\n";
    const std::string scripts[] = {
        "",
        "@echo off\r\necho hello\r\n",
        kGuard + firstGroup,  // no line deleting the script
        kGuard + kTwoConversions.substr(0, kTwoConversions.size() - 2),  // last line unended
        kGuard + firstGroup + "if not defined stylewick_failed del \"/site/other.bat\"\r\n",
        kGuard + firstGroup + "del \"/site/restore_backup.bat\"\r\n",  // even after a failure
        kGuard + kTwoConversionsBefore,                    // the first line on the form before
        kTwoConversions,                                   // this form without its first line
        "chcp 65001 >nul\r\n" + kGuard + kTwoConversions,  // the first line after chcp
        kGuard + firstGroup.substr(0, firstGroup.rfind("if errorlevel")) + scriptDelete,
        firstGroupBefore + "del \"/site/other.bat\"\r\n",  // deletes another file
        kGuard +
            Lines({"copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
                   "if not errorlevel 1 del \"/site/a.htm\"",  // deletes the page
                   "if not errorlevel 1 del \"/site/styles.css\"",
                   "if errorlevel 1 set stylewick_failed=1"}) +
            scriptDelete,
        kGuard +
            Lines({"copy /b /y \"/site/100%.backup.htm\" \"/site/a.htm\"",  // a single "%"
                   "if not errorlevel 1 del \"/site/100%.backup.htm\"",
                   "if not errorlevel 1 del \"/site/styles.css\"",
                   "if errorlevel 1 set stylewick_failed=1"}) +
            scriptDelete,
        kGuard +
            Lines({"rem copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
                   "if not errorlevel 1 del \"/site/a.backup.htm\"",  // not commented out
                   "if not errorlevel 1 del \"/site/styles.css\"", "set stylewick_failed=1"}) +
            scriptDelete,
        kGuard +
            Lines({"rem copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
                   "rem if not errorlevel 1 del \"/site/a.backup.htm\"",
                   "rem if not errorlevel 1 del \"/site/styles.css\""}) +  // no failure mark
            scriptDelete,
    };
    for (const std::string& script : scripts) {
        std::vector<Conversion> read;
        EXPECT_FALSE(ReadRestoreScript(script, read)) << script;
    }
}

// Pages converted in one run share sheets: each notes them, and they go once, after the last
// page that links them, and only when no page failed. A sheet of one page goes with it.
const std::vector<Conversion> kSharing = {
    {"/site/a.backup.htm", "/site/a.htm", {"/site/styles.a.css", "/site/styles.css"}},
    {"/site/b.backup.htm", "/site/b.htm", {"/site/styles.a.css", "/site/styles.css"}},
    {"/site/c.backup.htm", "/site/c.htm", {"/site/styles.c.css", "/site/styles.css"}},
    {"/site/d.backup.htm", "/site/d.htm", {"/site/d.css"}}};
const std::string kSharingLines = Lines({
    "copy /b /y \"/site/a.backup.htm\" \"/site/a.htm\"",
    "if not errorlevel 1 del \"/site/a.backup.htm\"",
    "rem links \"/site/styles.a.css\"",
    "rem links \"/site/styles.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "copy /b /y \"/site/b.backup.htm\" \"/site/b.htm\"",
    "if not errorlevel 1 del \"/site/b.backup.htm\"",
    "rem links \"/site/styles.a.css\"",
    "rem links \"/site/styles.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "if not defined stylewick_failed del \"/site/styles.a.css\"",
    "copy /b /y \"/site/c.backup.htm\" \"/site/c.htm\"",
    "if not errorlevel 1 del \"/site/c.backup.htm\"",
    "if not errorlevel 1 del \"/site/styles.c.css\"",
    "rem links \"/site/styles.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "if not defined stylewick_failed del \"/site/styles.css\"",
    "copy /b /y \"/site/d.backup.htm\" \"/site/d.htm\"",
    "if not errorlevel 1 del \"/site/d.backup.htm\"",
    "if not errorlevel 1 del \"/site/d.css\"",
    "if errorlevel 1 set stylewick_failed=1",
    "if not defined stylewick_failed del \"/site/restore_backup.bat\"",
});

TEST(RestoreScript, SharedSheetsGoAfterTheLastPageThatLinksThem) {
    std::string written;
    ASSERT_TRUE(RestoreScriptBytes(kSharing, "/site/restore_backup.bat", written));
    EXPECT_EQ(written, kGuard + kSharingLines);
    std::vector<Conversion> read;
    ASSERT_TRUE(ReadRestoreScript(written, read));
    ASSERT_EQ(read.size(), kSharing.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].pagePath, kSharing[i].pagePath);
        EXPECT_EQ(read[i].sheetPaths, kSharing[i].sheetPaths);
    }
}

// What the tool reads back it writes again in this form, byte for byte, so that the
// conversions of other pages that a new script carries keep their lines.
TEST(RestoreScript, WritesBackWhatItReadsInThisForm) {
    for (const std::string& script : {kGuard + kTwoConversions, kTwoConversionsBefore}) {
        SCOPED_TRACE(script);
        std::vector<Conversion> read;
        ASSERT_TRUE(ReadRestoreScript(script, read));
        std::string written;
        std::vector<std::string> unrestorable;
        ASSERT_TRUE(RestoreScriptBytes(read, "/site/restore_backup.bat", written, &unrestorable));
        EXPECT_EQ(written, kGuard + kTwoConversions);
        EXPECT_TRUE(unrestorable.empty());
    }
}

}  // namespace

}  // namespace engine
