#pragma once
#include <cstdint>
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

  private:
    void measure(Button& button, TextBox& result, Timer& timer);
    void showUnits(std::uint64_t bytes);
    std::string unreadableText(const std::string& folder) const;

    MainWindow& w_;
};

}  // namespace pd
