#include "engine/run_progress.h"

#include <algorithm>

namespace engine {

void RunProgress::StartPhase(double from, double to, size_t size) {
    if (!tell_) return;
    from_ = from;
    to_ = to;
    size_ = size;
    step_ = std::max<size_t>(1, size / kStepsPerPhase);
    next_ = step_;
    Tell(0);
}

void RunProgress::Finish() {
    if (!tell_) return;
    next_ = std::numeric_limits<size_t>::max();
    if (told_ < 1) tell_(told_ = 1);
}

void RunProgress::Tell(size_t done) {
    double fraction = size_ == 0 ? to_ : from_ + (to_ - from_) * std::min(done, size_) / size_;
    next_ = done < size_ ? (done / step_ + 1) * step_ : std::numeric_limits<size_t>::max();
    // Never back, never the same figure twice.
    if (fraction <= told_) return;
    told_ = fraction;
    tell_(fraction);
}

}  // namespace engine
