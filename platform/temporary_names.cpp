#include <random>

#include "platform/files.h"

namespace platform {

std::string RandomNamePart() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device device;
    std::string part;
    for (int i = 0; i < 4; ++i)
        for (unsigned value = device(), j = 0; j < 4; ++j, value >>= 4) part += kHex[value & 0xF];
    return part;
}

}  // namespace platform
