// Shared by the platform implementations: counts file operations and answers whether the
// current one is to fail (a test-only switch, off unless FailOperationNumber was called).
#pragma once

namespace platform {
bool InjectedFailure();
}
