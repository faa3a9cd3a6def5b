// The window program's tests. Options: --corpus=FOLDER (Unix or Windows path) names the folder
// of corpus pages; otherwise STYLEWICK_CORPUS or the folder configured at build time.
// --oem-code-page=N makes the tests that depend on it check that they run with that code page,
// --dpi=N those of the window's scaling that they run at that DPI.
// Started with "--hold=PATH --share=FLAGS" it is instead the other process of the tests of
// held files (see HeldByAnotherProcess); with "--opened=PATH ADDRESS", the shell's handler of
// web addresses in the test of the web link (see AddressRecorder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/console.h"
#include "tests/win32/window_driver.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
    if (arguments.size() == 2 && arguments[0].rfind("--hold=", 0) == 0)
        return ui::HoldFile(arguments[0].substr(7),
                            static_cast<DWORD>(std::stoul(arguments[1].substr(8))));
    if (arguments.size() == 2 && arguments[0].rfind("--opened=", 0) == 0)
        return ui::RecordOpenedAddress(arguments[0].substr(9), arguments[1]);
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--corpus=", 9) == 0)
            SetCorpusFolder(argv[i] + 9);
        else if (std::strncmp(argv[i], "--oem-code-page=", 16) == 0)
            ui::SetExpectedOemCodePage(static_cast<unsigned>(std::atoi(argv[i] + 16)));
        else if (std::strncmp(argv[i], "--dpi=", 6) == 0)
            ui::SetExpectedDpi(static_cast<unsigned>(std::atoi(argv[i] + 6)));
    return RUN_ALL_TESTS();
}
