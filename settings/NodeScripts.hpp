#pragma once
#include <array>
#include <string>

#include "platform/Platform.hpp"
#include "settings/NodeCommands.hpp"

namespace pd {

class App;

// The node scripts of one Save in their nodeScripts order, written so that a kill at any
// moment leaves either the previous Save's scripts or this one's, in agreement with the
// commands in the store: each script is first staged beside its target, the store then keeps
// the commands, and only then do the staged scripts replace the old ones.
class NodeScriptSave {
  public:
    // A staged script is named after its target with this ending.
    static constexpr std::string_view stagedEnding = ".pacedeck-save";

    NodeScriptSave(App& app, std::string home);
    // Writes the staged scripts; on failure none is left behind.
    Outcome stage(const std::array<std::string, nodeScripts.size()>& commands);
    // After the store kept the commands: the staged scripts take the targets' place.
    Outcome place();
    // The store did not keep the commands: the old scripts stay.
    void drop();

    // At start: a Save cut short after the store kept its commands is finished (its staged
    // scripts agree with the stored commands); any other staged or half-written script is
    // removed. Scripts that could not be put in place are told in the returned outcome.
    static Outcome settle(App& app, const std::string& home);

  private:
    std::string target(std::size_t i) const;

    App& app_;
    std::string home_;
};

}  // namespace pd
