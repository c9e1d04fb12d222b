#include "Chain.hpp"

#include <algorithm>
#include <cmath>

namespace simcoin {

Chain::Chain(std::int64_t start, std::int64_t target, double blocksPerSecond, ChainFaults faults)
    : start_(start), target_(target), rate_(blocksPerSecond) {
    // A chain never goes down: a node already past the target stays where it is.
    ceiling_ = std::max(start_, target_);
    // A fault at or above the top changes nothing; with both set, the lost peers win.
    noPeers_ = faults.stuckAt && *faults.stuckAt < ceiling_;
    stalled_ = !noPeers_ && faults.stalledAt && *faults.stalledAt < ceiling_;
    if (noPeers_) ceiling_ = std::max(start_, *faults.stuckAt);
    if (stalled_) ceiling_ = std::max(start_, *faults.stalledAt);
    if (faults.alone) {
        alone_ = noPeers_ = true;
        stalled_ = false;
        ceiling_ = start_;
    }
}

std::int64_t Chain::heightAfter(double seconds) const {
    if (seconds <= 0 || rate_ <= 0) return start_;
    double risen = std::floor(seconds * rate_);
    double room = static_cast<double>(ceiling_ - start_);
    if (risen >= room) return ceiling_;
    return start_ + static_cast<std::int64_t>(risen);
}

std::int64_t Chain::headersAfter(double seconds) const {
    if (alone_) return start_;
    const auto top = std::max(start_, target_);
    if (!stalled_ || seconds <= 0 || rate_ <= 0) return top;
    return top + static_cast<std::int64_t>(std::floor(seconds * rate_));
}

double Chain::verificationProgress(std::int64_t height, std::int64_t headers) {
    std::int64_t top = std::max(headers, height);
    if (top <= 0) return 1.0;
    return std::clamp(static_cast<double>(height) / static_cast<double>(top), 0.0, 1.0);
}

}  // namespace simcoin
