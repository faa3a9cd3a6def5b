// How far a run has come, told to whoever asked through the request's optional callback. The
// run is cut into phases, each with its share of the whole; a phase that goes over the page
// tells how far along it is. Without a callback each report costs one comparison.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <limits>
#include <utility>

namespace engine {

// Thrown from a progress point of a run that was asked to stop.
struct RunStopped {};

class RunProgress {
public:
    explicit RunProgress(std::function<void(double)> tell = {},
                         const std::atomic<bool>* stop = nullptr)
        : tell_(std::move(tell)), stop_(stop) {}

    // The phase that takes the run from `from` to `to` (fractions of the whole run) and goes
    // over `size` bytes. Tells `from`.
    void StartPhase(double from, double to, size_t size);

    // `done` of the phase's bytes are done. Tells the caller at most kStepsPerPhase times a
    // phase. Throws RunStopped when the run was asked to stop: only where the run holds no
    // file of its own yet.
    void At(size_t done) {
        if (!Advance(done)) throw RunStopped{};
    }

    // As At, for a phase that holds files of its own to remove first: false instead of the
    // throw.
    bool Advance(size_t done) {
        if (StopRequested()) return false;
        if (done >= next_) Tell(done);
        return true;
    }

    bool StopRequested() const {
        return stop_ != nullptr && stop_->load(std::memory_order_relaxed);
    }

    // The whole run is done: tells 1.
    void Finish();

    static constexpr size_t kStepsPerPhase = 100;

private:
    void Tell(size_t done);

    std::function<void(double)> tell_;
    const std::atomic<bool>* stop_ = nullptr;
    double from_ = 0;
    double to_ = 0;
    size_t size_ = 0;
    size_t step_ = 0;
    size_t next_ = std::numeric_limits<size_t>::max();  // no report is due
    double told_ = -1;
};

}  // namespace engine
