// The one-line progress that stylewick-cli writes to a terminal during a long run: nothing for
// the first second, then the percentage done, written again in place as it grows, and cleared
// before the run's message. Free of terminal calls, so that the native tests check it.
#pragma once

#include <string>

#include "texts/strings.h"

namespace texts {

class ProgressLine {
public:
    explicit ProgressLine(Language language) : language_(language) {}

    // What to write when `done` (0 to 1) of the run is done, `elapsedSeconds` after its start:
    // empty when the line stays as it is.
    std::string Update(double done, double elapsedSeconds);

    // What takes the line away again; empty when none was written.
    std::string Clear() const;

    static constexpr double kDelaySeconds = 1.0;

private:
    Language language_;
    int shownPercent_ = -1;
    size_t shownWidth_ = 0;
};

}  // namespace texts
