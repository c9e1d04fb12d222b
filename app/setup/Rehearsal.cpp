#include "app/setup/Rehearsal.hpp"

namespace pd::setup {

StoredValue RehearsalStore::lookup(std::string_view section, std::string_view key) {
    auto it = written_.find(std::pair{std::string(section), std::string(key)});
    if (it != written_.end()) return StoredValue::found(it->second);
    return real_.lookup(section, key);
}

bool RehearsalStore::put(std::string_view section, std::string_view key, std::string_view value) {
    written_[{std::string(section), std::string(key)}] = std::string(value);
    return true;
}

Outcome RehearsalPlatform::runScript(const std::string& path, WindowStyle) {
    if (!exists(path)) return Outcome::failure(path + " does not exist");
    return Outcome::success();
}

std::optional<std::string> RehearsalPlatform::readFile(const std::string& path) {
    if (auto it = files_.find(path); it != files_.end()) return it->second;
    return real_.readFile(path);
}

Outcome RehearsalPlatform::writeFile(const std::string& path, std::string_view bytes, bool, bool) {
    if (folders_.contains(path)) return Outcome::failure(path + " is a folder");
    if (auto parent = needParentOf(path); !parent) return parent;
    files_[path] = std::string(bytes);
    return Outcome::success();
}

Outcome RehearsalPlatform::replaceFile(const std::string& from, const std::string& to) {
    auto bytes = readFile(from);
    if (!bytes) return Outcome::failure(from + " does not exist");
    files_[to] = std::move(*bytes);
    files_.erase(from);
    return Outcome::success();
}

Outcome RehearsalPlatform::removeFile(const std::string& path) {
    files_.erase(path);
    return Outcome::success();
}

Outcome RehearsalPlatform::createFolder(const std::string& path) {
    if (files_.contains(path)) return Outcome::failure(path + " exists and is not a folder");
    if (auto parent = needParentOf(path); !parent) return parent;
    folders_.insert(path);
    return Outcome::success();
}

bool RehearsalPlatform::exists(const std::string& path) {
    return files_.contains(path) || folders_.contains(path) || real_.exists(path);
}

Outcome RehearsalPlatform::needParentOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    if (cut == std::string::npos || cut == 0) return Outcome::success();
    const auto parent = path.substr(0, cut);
    if (exists(parent)) return Outcome::success();
    return Outcome::failure("the folder " + parent + " does not exist");
}

}  // namespace pd::setup
