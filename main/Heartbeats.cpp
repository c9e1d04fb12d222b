#include "main/Heartbeats.hpp"

#include "main/MainWindow.hpp"

namespace pd {

Heartbeats::Heartbeats(MainWindow& w) : w_(w) {}

void Heartbeats::startFromPipeline() {}
void Heartbeats::stopFromPipeline() {}
void Heartbeats::resetFromSettings() {}

}  // namespace pd
