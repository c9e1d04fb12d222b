// The height model: the chain sits still while the node loads, then rises
// at a fixed rate until it reaches the target (or the height where a fault
// holds it), and stays there. Repeated readings are equal exactly when the
// chain has caught up or is stuck.
#pragma once

#include <cstdint>
#include <optional>

namespace simcoin {

// The two ways a node gets stuck below the chain's top.
struct ChainFaults {
    // No peers: the height freezes here, the headers learnt before stay where they were
    // (the target) and the node has no connections.
    std::optional<std::int64_t> stuckAt;
    // Stalled (a bad block): the height freezes here while the peers keep announcing new
    // headers, so the headers run ahead at the chain's rate.
    std::optional<std::int64_t> stalledAt;
    // No peer at all, ever: neither blocks nor headers come; the node stays where it started.
    bool alone = false;
};

class Chain {
  public:
    Chain(std::int64_t start, std::int64_t target, double blocksPerSecond, ChainFaults faults = {});

    // Height after `seconds` of catching up. Computed from the elapsed time
    // rather than accumulated per tick, so slow ticks never lose blocks.
    std::int64_t heightAfter(double seconds) const;
    // Headers the node knows of after `seconds`: the target, or more and more of them for
    // a stalled node. Never below the height.
    std::int64_t headersAfter(double seconds) const;
    // The node's peer count: none once it has lost its peers.
    int connections(int peers) const { return noPeers_ ? 0 : peers; }

    std::int64_t start() const { return start_; }
    std::int64_t target() const { return target_; }
    // The highest height this run will reach.
    std::int64_t ceiling() const { return ceiling_; }
    // The share of the known chain that is verified, as a node reports it.
    static double verificationProgress(std::int64_t height, std::int64_t headers);

  private:
    std::int64_t start_;
    std::int64_t target_;
    double rate_;
    std::int64_t ceiling_;
    bool noPeers_ = false;
    bool stalled_ = false;
    bool alone_ = false;
};

}  // namespace simcoin
