#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace pd {

class MainWindow;
class Button;
class TextBox;
class Timer;

// Measures the block-chain folder before and after a run and shows the size in six units,
// bytes to petabytes. It runs on the user-interface thread: the run's next stage relies on
// the result being there when it ticks.
class FolderSizer {
  public:
    explicit FolderSizer(MainWindow& w);

    // The bytes of the last measurement before and after, until forget(): a run's history
    // keeps them as numbers, which the six shown lines are not.
    std::optional<std::uint64_t> bytesBefore() const { return bytesBefore_; }
    std::optional<std::uint64_t> bytesAfter() const { return bytesAfter_; }
    void forget() { bytesBefore_ = bytesAfter_ = std::nullopt; }

  private:
    void measure(Button& button, TextBox& result, Timer& timer, std::optional<std::uint64_t>& kept);
    void showUnits(std::uint64_t bytes);
    std::string unreadableText(const std::string& folder) const;

    MainWindow& w_;
    std::optional<std::uint64_t> bytesBefore_;
    std::optional<std::uint64_t> bytesAfter_;
};

}  // namespace pd
