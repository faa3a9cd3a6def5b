// The two programs as files: their version resource, and the command-line switches that
// stylewick-cli.exe takes on Windows.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/win32/window_driver.h"
#include "version.h"

namespace ui {

namespace {

struct VersionResource {
    std::vector<char> data;

    explicit VersionResource(const std::string& program) {
        DWORD ignored = 0;
        data.resize(GetFileVersionInfoSizeA(program.c_str(), &ignored));
        if (!data.empty() &&
            !GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
            data.clear();
    }
    // A value of the US English string table, or "<none>".
    std::string Text(const std::string& name) const {
        void* value = nullptr;
        UINT length = 0;
        std::string query = "\\StringFileInfo\\040904B0\\" + name;
        if (data.empty() || !VerQueryValueA(data.data(), query.c_str(), &value, &length))
            return "<none>";
        return static_cast<const char*>(value);
    }
    VS_FIXEDFILEINFO Numbers() const {
        void* value = nullptr;
        UINT length = 0;
        if (data.empty() || !VerQueryValueA(data.data(), "\\", &value, &length)) return {};
        return *static_cast<const VS_FIXEDFILEINFO*>(value);
    }
};

TEST(Programs, BothCarryTheVersionOfTheBuild) {
    const DWORD numbers[] = {STYLEWICK_VERSION_NUMBERS};
    for (const char* name : {"stylewick.exe", "stylewick-cli.exe"}) {
        SCOPED_TRACE(name);
        VersionResource resource(ProgramPath(name));
        ASSERT_FALSE(resource.data.empty());
        EXPECT_EQ(resource.Text("ProductName"), "stylewick");
        EXPECT_EQ(resource.Text("ProductVersion"), STYLEWICK_VERSION);
        EXPECT_EQ(resource.Text("FileVersion"), STYLEWICK_VERSION);
        EXPECT_EQ(resource.Text("OriginalFilename"), name);
        EXPECT_NE(resource.Text("FileDescription"), "<none>");
        EXPECT_NE(resource.Text("LegalCopyright").find("MIT License"), std::string::npos);
        VS_FIXEDFILEINFO fixed = resource.Numbers();
        EXPECT_EQ(fixed.dwFileVersionMS, numbers[0] << 16 | numbers[1]);
        EXPECT_EQ(fixed.dwFileVersionLS, numbers[2] << 16 | numbers[3]);
        EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
    }
}

TEST(Programs, CliTakesTheWindowsHelpSwitchAndItsVersionOption) {
    EXPECT_EQ(RunCli("/?").exitCode, 0);
    EXPECT_EQ(RunCli("-h").exitCode, 0);
    EXPECT_EQ(RunCli("--version").exitCode, 0);
    EXPECT_EQ(RunCli("/x").exitCode, 1);  // any other such word is a page, here a missing one
    EXPECT_EQ(RunCli("--lang fr").exitCode, 2);
}

}  // namespace

}  // namespace ui
