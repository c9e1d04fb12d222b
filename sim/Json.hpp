// A small JSON value: enough for JSON-RPC requests and replies, nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace simcoin {

class Json {
  public:
    using Array = std::vector<Json>;
    // Keys keep insertion order, because a client pretty-prints objects in
    // the order the node wrote them.
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default;  // null
    Json(std::nullptr_t) {}
    Json(bool b) : value_(b) {}
    Json(int i) : value_(static_cast<std::int64_t>(i)) {}
    Json(std::int64_t i) : value_(i) {}
    Json(double d) : value_(d) {}
    Json(const char* s) : value_(std::string(s)) {}
    Json(std::string s) : value_(std::move(s)) {}
    Json(Array a) : value_(std::move(a)) {}
    Json(Object o) : value_(std::move(o)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool isBool() const { return std::holds_alternative<bool>(value_); }
    bool isInt() const { return std::holds_alternative<std::int64_t>(value_); }
    bool isDouble() const { return std::holds_alternative<double>(value_); }
    bool isNumber() const { return isInt() || isDouble(); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isObject() const { return std::holds_alternative<Object>(value_); }

    bool asBool() const { return std::get<bool>(value_); }
    std::int64_t asInt() const;
    double asDouble() const;
    const std::string& asString() const { return std::get<std::string>(value_); }
    const Array& asArray() const { return std::get<Array>(value_); }
    const Object& asObject() const { return std::get<Object>(value_); }

    // Member lookup; nullptr when this is not an object or has no such key.
    const Json* find(std::string_view key) const;

    // indent < 0: compact on one line; otherwise pretty-printed with that
    // many spaces per level.
    std::string dump(int indent = -1) const;

    // nullopt on malformed text (trailing garbage included).
    static std::optional<Json> parse(std::string_view text);
    // The same, giving up (with `tooLarge` set) at more than `maxValues` values, before
    // a hostile document has cost more than that in memory.
    static std::optional<Json> parse(std::string_view text, std::size_t maxValues, bool& tooLarge);

  private:
    void dumpTo(std::string& out, int indent, int level) const;

    std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Object> value_;
};

}  // namespace simcoin
