#include "main/EndReport.hpp"

#include "main/MainWindow.hpp"

namespace pd {

EndReport::EndReport(MainWindow& w) : w_(w) {}

}  // namespace pd
