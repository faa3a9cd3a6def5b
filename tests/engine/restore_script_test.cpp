// restore_backup.bat: the forms the tool reads back, and the bytes it writes. (Natively every
// path can be written in the batch code page; the UTF-8 script is checked under Wine.)
#include "engine/restore_script.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

const std::string kTwoConversions = Lines({
    "copy \"/site/b.backup.htm\" \"/site/b.htm\"",
    "if not errorlevel 1 del \"/site/b.backup.htm\"",
    "if not errorlevel 1 del \"/site/b.css\"",
    "copy \"/site/100%%.backup.htm\" \"/site/100%%.htm\"",
    "if not errorlevel 1 del \"/site/100%%.backup.htm\"",
    "if not errorlevel 1 del \"/site/styles.css\"",
    "del \"/site/restore_backup.bat\"",
});

TEST(RestoreScript, ReadsTheFormsTheToolWrites) {
    std::string here = std::filesystem::current_path().string() + "/";
    struct Case {
        const char* label;
        std::string script;
        std::vector<Conversion> conversions;
    } cases[] = {
        {"this form",
         kTwoConversions,
         {{"/site/b.backup.htm", "/site/b.htm", {"/site/b.css"}},
          {"/site/100%.backup.htm", "/site/100%.htm", {"/site/styles.css"}}}},
        {"this form in UTF-8",
         "chcp 65001 >nul\r\n" + kTwoConversions,
         {{"/site/b.backup.htm", "/site/b.htm", {"/site/b.css"}},
          {"/site/100%.backup.htm", "/site/100%.htm", {"/site/styles.css"}}}},
        {"a page converted twice",
         Lines({"copy \"/site/a.backup.htm\" \"/site/a.htm\"",
                "if not errorlevel 1 del \"/site/a.backup.htm\"",
                "if not errorlevel 1 del \"/site/second.css\"",
                "if not errorlevel 1 del \"/site/styles.css\"",
                "del \"/site/restore_backup.bat\""}),
         {{"/site/a.backup.htm", "/site/a.htm", {"/site/second.css", "/site/styles.css"}}}},
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
    const std::string scripts[] = {
        "",
        "@echo off\r\necho hello\r\n",
        firstGroup,                                             // no line deleting the script
        kTwoConversions.substr(0, kTwoConversions.size() - 2),  // last line unended
        firstGroup + "del \"/site/other.bat\"\r\n",             // deletes another file
        Lines({"copy \"/site/a.backup.htm\" \"/site/a.htm\"",
               "if not errorlevel 1 del \"/site/a.htm\"",  // deletes the page
               "if not errorlevel 1 del \"/site/styles.css\"", "del \"/site/restore_backup.bat\""}),
        Lines({"copy \"/site/100%.backup.htm\" \"/site/a.htm\"",  // a single "%"
               "if not errorlevel 1 del \"/site/100%.backup.htm\"",
               "if not errorlevel 1 del \"/site/styles.css\"", "del \"/site/restore_backup.bat\""}),
    };
    for (const std::string& script : scripts) {
        std::vector<Conversion> read;
        EXPECT_FALSE(ReadRestoreScript(script, read)) << script;
    }
}

// What the tool reads back it writes again byte for byte, so that the conversions of other
// pages that a new script carries keep their lines.
TEST(RestoreScript, WritesBackWhatItReadsByteForByte) {
    std::vector<Conversion> read;
    ASSERT_TRUE(ReadRestoreScript(kTwoConversions, read));
    std::string written;
    ASSERT_TRUE(RestoreScriptBytes(read, "/site/restore_backup.bat", written));
    EXPECT_EQ(written, kTwoConversions);
}

}  // namespace
