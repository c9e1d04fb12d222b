#include "Chain.hpp"

#include <algorithm>
#include <cmath>

namespace simcoin {

Chain::Chain(std::int64_t start, std::int64_t target, double blocksPerSecond,
             std::optional<std::int64_t> stuckAt)
    : start_(start), target_(target), rate_(blocksPerSecond) {
    // A chain never goes down: a node already past the target stays where it is.
    ceiling_ = std::max(start_, target_);
    stuck_ = stuckAt && *stuckAt < ceiling_;
    if (stuck_) ceiling_ = std::max(start_, *stuckAt);
}

std::int64_t Chain::heightAfter(double seconds) const {
    if (seconds <= 0 || rate_ <= 0) return start_;
    double risen = std::floor(seconds * rate_);
    double room = static_cast<double>(ceiling_ - start_);
    if (risen >= room) return ceiling_;
    return start_ + static_cast<std::int64_t>(risen);
}

double Chain::verificationProgress(std::int64_t height) const {
    std::int64_t top = std::max(target_, height);
    if (top <= 0) return 1.0;
    return std::clamp(static_cast<double>(height) / static_cast<double>(top), 0.0, 1.0);
}

}  // namespace simcoin
