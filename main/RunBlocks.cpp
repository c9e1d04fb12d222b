#include "main/RunBlocks.hpp"

#include "core/App.hpp"
#include "main/NodeAnswers.hpp"

namespace pd::runblocks {

namespace {
constexpr std::string_view key = "NODE_STOPPED_AT_BLOCK";
}  // namespace

std::string takeStart(App& app) {
    // Never written is not the same as emptied by a run that did not end cleanly.
    const auto kept = app.store().lookup(app.exe(), key);
    app.writeSetting(app.exe(), key, "");
    if (kept.status == StoredValue::Status::Absent) return std::string(neverKept);
    if (kept.status != StoredValue::Status::Found || !blockHeight(kept.value)) return std::string(notKept);
    return kept.value;
}

std::string endNumber(std::string_view runReading) {
    return std::string(runReading.empty() ? noneRead : runReading);
}

void keepEnd(App& app, std::string_view endNumber) {
    if (blockHeight(endNumber)) app.writeSetting(app.exe(), key, endNumber);
}

}  // namespace pd::runblocks
