#include "platform/fault_injection.h"

#include "platform/files.h"

namespace platform {

namespace {
int failingOperation = 0;
int operationsCounted = 0;
}  // namespace

void FailOperationNumber(int n) {
    failingOperation = n;
    operationsCounted = 0;
}

int OperationsCounted() { return operationsCounted; }

bool InjectedFailure() {
    ++operationsCounted;
    return failingOperation > 0 && operationsCounted == failingOperation;
}

}  // namespace platform
