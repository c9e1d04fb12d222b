#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/HomeLayout.hpp"
#include "platform/Platform.hpp"

namespace pd {

class App;

// A file that a Save writes, and the key under which the same Save stores the text the file
// holds (before its line end): the stored text tells which Save a staged file belongs to.
struct SavedFile {
    std::string_view key;
    std::optional<Script> script;  // its script in BATS; none: the configuration file in CONFIGS
    bool secret = false;           // holds a password: readable by its owner alone

    std::string path(const HomeLayout& files) const;
};

// The file a Save writes as that script, and the configuration file.
const SavedFile& savedFile(Script script);
const SavedFile& savedConfigFile();

// The files of one Save, written so that a kill at any moment leaves either the previous
// Save's files or this one's, in agreement with the store: each file is first staged beside
// its target, the store's batch then keeps their texts (keep, then the batch's commit), and
// only then do the staged files replace the old ones (place). What is still staged when the
// object goes (a stage or a commit that failed) is removed, and the old files stay.
class FileSave {
  public:
    // A staged file is named after its target with this ending.
    static constexpr std::string_view stagedEnding = ".pacedeck-save";

    FileSave(App& app, std::string_view home);
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // Stages the file holding this text.
    Outcome stage(const SavedFile& file, std::string_view text);
    // Removes what was staged: the Save keeps none of its files (one could not be staged).
    void drop();
    // Stores each staged file's text under its key, in the caller's open batch.
    void keep();
    // After the batch committed: the staged files take their targets' place.
    Outcome place();

    // At start: a Save cut short after the store kept its texts is finished (its staged
    // files agree with the stored texts); any other staged or half-written file is removed.
    // Files that could not be put in place are told in the returned outcome.
    static Outcome settle(App& app, std::string_view home);

  private:
    struct Staged {
        const SavedFile* file;
        std::string target;
        std::string text;
    };
    App& app_;
    HomeLayout files_;
    std::vector<Staged> staged_;
};

}  // namespace pd
