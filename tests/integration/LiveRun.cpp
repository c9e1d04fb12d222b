#include "LiveRun.hpp"

#include <filesystem>
#include <sstream>

namespace pd::test {

namespace fs = std::filesystem;
using namespace simtest;

namespace {

constexpr const char* sinkScript = R"(import os, signal, sys
from aiosmtpd.controller import Controller

class Keep:
    def __init__(self, folder):
        self.folder, self.count = folder, 0
    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        path = os.path.join(self.folder, "message-%03d.eml" % self.count)
        with open(path + ".part", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        os.rename(path + ".part", path)
        return "250 Message accepted"

folder, port = sys.argv[1], int(sys.argv[2])
controller = Controller(Keep(folder), hostname="127.0.0.1", port=port)
controller.start()
open(os.path.join(folder, "ready"), "w").close()
signal.pause()
)";

}  // namespace

SmtpSink::SmtpSink(const ScratchDir& dir) : folder_(dir / "sink"), port_(freePort()) {
    fs::create_directories(folder_);
    simtest::writeFile(dir / "sink.py", sinkScript);
    process_ = std::make_unique<Process>(
        "/usr/bin/python3", std::vector<std::string>{dir / "sink.py", folder_, std::to_string(port_)}, Env{},
        dir / "sink.out", dir / "sink.err");
}

bool SmtpSink::ready() {
    return waitUntil([&] { return fs::exists(folder_ + "/ready"); }, 20s);
}

std::vector<std::string> SmtpSink::messages() const {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(folder_))
        if (e.path().extension() == ".eml") names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> texts;
    for (auto& n : names) texts.push_back(simtest::readFile(n));
    return texts;
}

bool SmtpSink::waitForMessages(std::size_t n) {
    return waitUntil([&] { return messages().size() >= n; }, 60s, 100ms);
}

std::string normalised(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(normalised(text));
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string after(const std::vector<std::string>& report, const std::string& title) {
    auto at = std::find(report.begin(), report.end(), title);
    return at == report.end() || at + 1 == report.end() ? "<none>" : *(at + 1);
}

std::string mailToSink(const SmtpSink& sink, const std::string& more) {
    return "[PACEDECK_EMAIL_MAIN_SETTINGS]\n"
           "press = USE_BUTTON\n"
           "SMTP_SERVER_ADDRESS_PORT_TEXTBOX = 127.0.0.1:" +
           std::to_string(sink.port()) +
           "\n"
           "SEND_FROM_ADDRESS_TEXTBOX = node@example.org\n"
           "SEND_TO_ADDRESS_TEXTBOX = me@example.org\n" +
           more + "press = OK_BUTTON\n";
}

}  // namespace pd::test
