#include "main/RunBlocks.hpp"

#include "core/App.hpp"
#include "main/NodeAnswers.hpp"

namespace pd::runblocks {

namespace {
constexpr std::string_view key = "NODE_STOPPED_AT_BLOCK";
// Never a reading: tells a key that was never written from one a run emptied.
constexpr std::string_view absent = "\x01";
}  // namespace

std::string takeStart(App& app) {
    const auto kept = app.readSetting(app.exe(), key, absent);
    app.writeSetting(app.exe(), key, "");
    if (kept == absent) return std::string(neverKept);
    if (!blockHeight(kept)) return std::string(notKept);
    return kept;
}

std::string endNumber(std::string_view runReading) {
    return std::string(runReading.empty() ? noneRead : runReading);
}

void keepEnd(App& app, std::string_view endNumber) {
    if (blockHeight(endNumber)) app.writeSetting(app.exe(), key, endNumber);
}

}  // namespace pd::runblocks
