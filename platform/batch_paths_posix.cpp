#include "platform/batch_paths.h"

namespace platform {

// Batch files run on Windows only: the paths of other systems are written as they are.
bool BatchPath(const std::string& path, std::string& written) {
    written = path;
    return true;
}

std::string PathOfBatchPath(const std::string& written) { return written; }

}  // namespace platform
