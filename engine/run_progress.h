// How far a run has come, told to whoever asked through the request's optional callback. The
// run is cut into phases, each with its share of the whole; a phase that goes over the page
// tells how far along it is. Without a callback each report costs one comparison.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <utility>

class RunProgress {
public:
    explicit RunProgress(std::function<void(double)> tell = {}) : tell_(std::move(tell)) {}

    // The phase that takes the run from `from` to `to` (fractions of the whole run) and goes
    // over `size` bytes. Tells `from`.
    void StartPhase(double from, double to, size_t size);

    // `done` of the phase's bytes are done. Tells the caller at most kStepsPerPhase times a
    // phase.
    void At(size_t done) {
        if (done >= next_) Tell(done);
    }

    // The whole run is done: tells 1.
    void Finish();

    static constexpr size_t kStepsPerPhase = 100;

private:
    void Tell(size_t done);

    std::function<void(double)> tell_;
    double from_ = 0;
    double to_ = 0;
    size_t size_ = 0;
    size_t step_ = 0;
    size_t next_ = std::numeric_limits<size_t>::max();  // no report is due
    double told_ = -1;
};
