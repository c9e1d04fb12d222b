#include "main/Blockcounter.hpp"

#include "main/MainWindow.hpp"

namespace pd {

Blockcounter::Blockcounter(MainWindow& w) : w_(w) {}

void Blockcounter::startFromPipeline() {}
void Blockcounter::skipFromPipeline() {}

}  // namespace pd
