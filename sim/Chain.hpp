// The height model: the chain sits still while the node loads, then rises
// at a fixed rate until it reaches the target (or the height where a fault
// holds it), and stays there. Repeated readings are equal exactly when the
// chain has caught up or is stuck.
#pragma once

#include <cstdint>
#include <optional>

namespace simcoin {

class Chain {
  public:
    Chain(std::int64_t start, std::int64_t target, double blocksPerSecond,
          std::optional<std::int64_t> stuckAt);

    // Height after `seconds` of catching up. Computed from the elapsed time
    // rather than accumulated per tick, so slow ticks never lose blocks.
    std::int64_t heightAfter(double seconds) const;

    std::int64_t start() const { return start_; }
    std::int64_t target() const { return target_; }
    // The highest height this run will reach.
    std::int64_t ceiling() const { return ceiling_; }
    // Headers the node knows of: the target, unless it has no peers (stuck),
    // in which case it knows nothing beyond where it stopped.
    std::int64_t headers() const { return stuck_ ? ceiling_ : target_; }
    double verificationProgress(std::int64_t height) const;

  private:
    std::int64_t start_;
    std::int64_t target_;
    double rate_;
    std::int64_t ceiling_;
    bool stuck_;
};

}  // namespace simcoin
