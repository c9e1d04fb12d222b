#include "main/FolderSizer.hpp"

#include "main/MainWindow.hpp"

namespace pd {

FolderSizer::FolderSizer(MainWindow& w) : w_(w) {}

}  // namespace pd
