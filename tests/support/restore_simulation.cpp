#include "tests/support/restore_simulation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "engine/restore_script.h"

namespace fs = std::filesystem;

void RestoreAsTheScriptDoes(const ScratchFolder& folder) {
    if (!folder.Has("restore_backup.bat")) return;
    std::vector<engine::Conversion> conversions;
    ASSERT_TRUE(engine::ReadRestoreScript(folder.Read("restore_backup.bat"), conversions));
    std::map<std::string, int> listings;
    for (const engine::Conversion& conversion : conversions)
        for (const std::string& sheet : conversion.sheetPaths) ++listings[sheet];
    bool everyCopy = true;
    for (const engine::Conversion& conversion : conversions) {
        std::error_code error;
        if (!fs::copy_file(conversion.backupPath, conversion.pagePath,
                           fs::copy_options::overwrite_existing, error)) {
            everyCopy = false;
            continue;
        }
        fs::remove(conversion.backupPath);
        for (const std::string& sheet : conversion.sheetPaths)
            if (listings[sheet] == 1) fs::remove(sheet);
    }
    if (!everyCopy) return;
    for (const auto& [sheet, count] : listings)
        if (count > 1) fs::remove(sheet);
    fs::remove(folder.File("restore_backup.bat"));
}
