#include "texts/progress_line.h"

namespace texts {

std::string ProgressLine::Update(double done, double elapsedSeconds) {
    int percent = static_cast<int>(done * 100);
    if (elapsedSeconds < kDelaySeconds || percent == shownPercent_) return {};
    shownPercent_ = percent;
    // The run's progress never goes back: each figure is as long as the one before, or longer.
    std::string text =
        WithArguments(Text(TextId::ProgressPercent, language_), std::to_string(percent));
    shownWidth_ = text.size();
    return '\r' + text;
}

std::string ProgressLine::Clear() const {
    if (shownWidth_ == 0) return {};
    return '\r' + std::string(shownWidth_, ' ') + '\r';
}

}  // namespace texts
