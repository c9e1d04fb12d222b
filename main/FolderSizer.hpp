#pragma once

namespace pd {

class MainWindow;

// Measures the block-chain folder before and after a run, shown in six units.
class FolderSizer {
public:
    explicit FolderSizer(MainWindow& w);

private:
    MainWindow& w_;
};

}  // namespace pd
