#include "SimSettings.hpp"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Options.hpp"

namespace simcoin {

EnvLookup processEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        const char* v = std::getenv(name.c_str());
        if (!v) return std::nullopt;
        return std::string(v);
    };
}

namespace {

std::optional<double> toDouble(const std::string& text) {
    try {
        std::size_t used = 0;
        double v = std::stod(text, &used);
        if (used != text.size() || v < 0) return std::nullopt;
        return v;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::int64_t> toInt(const std::string& text) {
    try {
        std::size_t used = 0;
        long long v = std::stoll(text, &used);
        if (used != text.size() || v < 0) return std::nullopt;
        return v;
    } catch (...) {
        return std::nullopt;
    }
}

class Source {
  public:
    Source(const OptionList& file, const EnvLookup& env) : file_(file), env_(env) {}

    // The raw text of a setting, environment first. Empty values count as
    // unset so that "SIMCOIN_CRASH_AT=" switches a fault off.
    std::optional<std::string> raw(const std::string& name) const {
        std::string envName = "SIMCOIN_";
        for (char c : name) envName += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (auto v = env_(envName)) {
            auto t = trim(*v);
            return t.empty() ? std::nullopt : std::optional(t);
        }
        for (const auto& [k, v] : file_)
            if (k == name) return v.empty() ? std::nullopt : std::optional(v);
        return std::nullopt;
    }

  private:
    const OptionList& file_;
    const EnvLookup& env_;
};

}  // namespace

std::optional<SimSettings> loadSimSettings(const std::string& datadir, const EnvLookup& env,
                                           std::string& error) {
    OptionList fileOptions;
    auto path = (std::filesystem::path(datadir) / "simcoin.conf").string();
    if (!datadir.empty() && std::filesystem::exists(path)) {
        auto conf = readConfFile(path, error);
        if (!conf) {
            error = path + ": " + error;
            return std::nullopt;
        }
        fileOptions = conf->options;
    }
    Source src(fileOptions, env);
    SimSettings s;
    bool ok = true;
    auto bad = [&](const std::string& name, const std::string& value) {
        error = "invalid simulation setting " + name + "=" + value;
        ok = false;
    };
    auto readInt = [&](const std::string& name, std::int64_t& out) {
        if (auto v = src.raw(name)) {
            if (auto n = toInt(*v))
                out = *n;
            else
                bad(name, *v);
        }
    };
    auto readDouble = [&](const std::string& name, double& out) {
        if (auto v = src.raw(name)) {
            if (auto d = toDouble(*v))
                out = *d;
            else
                bad(name, *v);
        }
    };
    auto readOptionalInt = [&](const std::string& name, std::optional<std::int64_t>& out) {
        if (auto v = src.raw(name)) {
            if (auto n = toInt(*v))
                out = *n;
            else
                bad(name, *v);
        }
    };

    readInt("start_height", s.startHeight);
    if (auto v = src.raw("target")) {
        s.targetRelative = v->starts_with("+");
        if (auto n = toInt(s.targetRelative ? v->substr(1) : *v))
            s.target = *n;
        else
            bad("target", *v);
    }
    readDouble("rate", s.blocksPerSecond);
    readInt("bytes_per_block", s.bytesPerBlock);
    readDouble("rpc_delay", s.rpcDelay);
    readDouble("startup_delay", s.startupDelay);
    readDouble("stop_delay", s.stopDelay);
    readOptionalInt("crash_at", s.crashAt);
    readOptionalInt("stuck_at", s.stuckAt);
    readOptionalInt("stall_at", s.stalledAt);
    readInt("peers", s.peers);
    if (s.peers < 0) bad("peers", std::to_string(s.peers));
    std::int64_t neverStop = 0;
    readInt("never_stop", neverStop);
    if (neverStop > 2) bad("never_stop", std::to_string(neverStop));
    s.neverStop = static_cast<int>(neverStop);
    readDouble("cli_hang", s.cliHang);
    std::int64_t oldTip = 0;
    readInt("old_tip", oldTip);
    if (oldTip < 0 || oldTip > 1) bad("old_tip", std::to_string(oldTip));
    s.oldTip = oldTip == 1;
    if (!ok) return std::nullopt;
    return s;
}

std::string describe(const SimSettings& s) {
    std::ostringstream out;
    out << "start_height=" << s.startHeight << " target=" << (s.targetRelative ? "+" : "") << s.target
        << " rate=" << s.blocksPerSecond << " bytes_per_block=" << s.bytesPerBlock
        << " rpc_delay=" << s.rpcDelay << " startup_delay=" << s.startupDelay << " stop_delay=" << s.stopDelay
        << " crash_at=" << (s.crashAt ? std::to_string(*s.crashAt) : "-")
        << " stuck_at=" << (s.stuckAt ? std::to_string(*s.stuckAt) : "-")
        << " stall_at=" << (s.stalledAt ? std::to_string(*s.stalledAt) : "-") << " peers=" << s.peers
        << " old_tip=" << s.oldTip << " never_stop=" << s.neverStop << " cli_hang=" << s.cliHang;
    return out.str();
}

}  // namespace simcoin
