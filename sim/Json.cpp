#include "Json.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace simcoin {

std::int64_t Json::asInt() const {
    if (isDouble()) return static_cast<std::int64_t>(std::get<double>(value_));
    return std::get<std::int64_t>(value_);
}

double Json::asDouble() const {
    if (isInt()) return static_cast<double>(std::get<std::int64_t>(value_));
    return std::get<double>(value_);
}

const Json* Json::find(std::string_view key) const {
    if (!isObject()) return nullptr;
    for (const auto& [k, v] : asObject())
        if (k == key) return &v;
    return nullptr;
}

namespace {

void escapeTo(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

void newline(std::string& out, int indent, int level) {
    if (indent < 0) return;
    out += '\n';
    out.append(static_cast<std::size_t>(indent * level), ' ');
}

class Parser {
  public:
    Parser(std::string_view text, std::size_t maxValues) : s_(text), valuesLeft_(maxValues) {}
    bool tooLarge() const { return tooLarge_; }

    std::optional<Json> parseDocument() {
        auto v = parseValue(0);
        skipSpace();
        if (!v || pos_ != s_.size()) return std::nullopt;
        return v;
    }

  private:
    // Deep nesting is refused so a hostile request cannot exhaust the stack.
    static constexpr int maxDepth = 64;

    void skipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    bool consume(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    std::optional<Json> parseValue(int depth) {
        if (depth > maxDepth) return std::nullopt;
        if (valuesLeft_ == 0) {
            tooLarge_ = true;
            return std::nullopt;
        }
        --valuesLeft_;
        skipSpace();
        if (pos_ >= s_.size()) return std::nullopt;
        char c = s_[pos_];
        if (c == '{') return parseObject(depth);
        if (c == '[') return parseArray(depth);
        if (c == '"') {
            auto str = parseString();
            if (!str) return std::nullopt;
            return Json(std::move(*str));
        }
        if (consume("null")) return Json();
        if (consume("true")) return Json(true);
        if (consume("false")) return Json(false);
        return parseNumber();
    }

    std::optional<Json> parseNumber() {
        std::size_t start = pos_;
        bool isFloat = false;
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c >= '0' && c <= '9') {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') {
                isFloat = true;
                ++pos_;
            } else {
                break;
            }
        }
        std::string text(s_.substr(start, pos_ - start));
        if (text.empty() || text == "-") return std::nullopt;
        char* end = nullptr;
        errno = 0;
        if (!isFloat) {
            long long v = std::strtoll(text.c_str(), &end, 10);
            if (errno == 0 && end && *end == '\0') return Json(static_cast<std::int64_t>(v));
        }
        errno = 0;
        double d = std::strtod(text.c_str(), &end);
        if (errno != 0 || !end || *end != '\0') return std::nullopt;
        return Json(d);
    }

    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::optional<unsigned> parseHex4() {
        if (pos_ + 4 > s_.size()) return std::nullopt;
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= static_cast<unsigned>(c - 'A' + 10);
            else
                return std::nullopt;
        }
        return v;
    }

    std::optional<std::string> parseString() {
        ++pos_;  // opening quote
        std::string out;
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) return std::nullopt;
            char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    auto cp = parseHex4();
                    if (!cp) return std::nullopt;
                    if (*cp >= 0xD800 && *cp < 0xDC00 && consume("\\u")) {
                        auto low = parseHex4();
                        if (!low || *low < 0xDC00 || *low >= 0xE000) return std::nullopt;
                        *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
                    }
                    appendUtf8(out, *cp);
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<Json> parseArray(int depth) {
        ++pos_;
        Json::Array items;
        skipSpace();
        if (consume("]")) return Json(std::move(items));
        while (true) {
            auto v = parseValue(depth + 1);
            if (!v) return std::nullopt;
            items.push_back(std::move(*v));
            skipSpace();
            if (consume(",")) continue;
            if (consume("]")) return Json(std::move(items));
            return std::nullopt;
        }
    }

    std::optional<Json> parseObject(int depth) {
        ++pos_;
        Json::Object members;
        skipSpace();
        if (consume("}")) return Json(std::move(members));
        while (true) {
            skipSpace();
            if (pos_ >= s_.size() || s_[pos_] != '"') return std::nullopt;
            auto key = parseString();
            if (!key) return std::nullopt;
            skipSpace();
            if (!consume(":")) return std::nullopt;
            auto v = parseValue(depth + 1);
            if (!v) return std::nullopt;
            members.emplace_back(std::move(*key), std::move(*v));
            skipSpace();
            if (consume(",")) continue;
            if (consume("}")) return Json(std::move(members));
            return std::nullopt;
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    std::size_t valuesLeft_;
    bool tooLarge_ = false;
};

}  // namespace

std::optional<Json> Json::parse(std::string_view text) {
    bool tooLarge = false;
    return parse(text, SIZE_MAX, tooLarge);
}

std::optional<Json> Json::parse(std::string_view text, std::size_t maxValues, bool& tooLarge) {
    Parser parser(text, maxValues);
    auto value = parser.parseDocument();
    tooLarge = parser.tooLarge();
    return value;
}

std::string Json::dump(int indent) const {
    std::string out;
    dumpTo(out, indent, 0);
    return out;
}

void Json::dumpTo(std::string& out, int indent, int level) const {
    if (isNull()) {
        out += "null";
    } else if (isBool()) {
        out += asBool() ? "true" : "false";
    } else if (isInt()) {
        out += std::to_string(std::get<std::int64_t>(value_));
    } else if (isDouble()) {
        double d = std::get<double>(value_);
        if (!std::isfinite(d)) {
            out += "null";
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.16g", d);
            out += buf;
        }
    } else if (isString()) {
        escapeTo(out, asString());
    } else if (isArray()) {
        const auto& a = asArray();
        out += '[';
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (i) out += ',';
            newline(out, indent, level + 1);
            a[i].dumpTo(out, indent, level + 1);
        }
        if (!a.empty()) newline(out, indent, level);
        out += ']';
    } else {
        const auto& o = asObject();
        out += '{';
        for (std::size_t i = 0; i < o.size(); ++i) {
            if (i) out += ',';
            newline(out, indent, level + 1);
            escapeTo(out, o[i].first);
            out += indent < 0 ? ":" : ": ";
            o[i].second.dumpTo(out, indent, level + 1);
        }
        if (!o.empty()) newline(out, indent, level);
        out += '}';
    }
}

}  // namespace simcoin
