// A node must hold against clients that misbehave, as a real node does: a request's
// headers and a batch are bounded while they are read, so a few hostile clients can
// neither grow the node's memory without limit nor keep others from being answered.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "SimHarness.hpp"
#include "TestSettings.hpp"

using namespace simtest;

namespace {

// The most memory the process has held at once, in KiB.
long peakKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
    return -1;
}

// Sends a request head that never ends until the node cuts it off or `limit` bytes are
// out; how many bytes went out.
std::size_t sendEndlessHeaders(std::uint16_t port, std::size_t limit) {
    int fd = connectLoopback(port, SO_SNDTIMEO, 10);
    std::size_t sent = 0;
    if (fd >= 0) {
        std::string chunk = "POST / HTTP/1.1\r\n";
        while (chunk.size() < 65536) chunk += "X-Padding: " + std::string(100, 'a') + "\r\n";
        while (sent < limit) {
            auto n = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ::close(fd);
    }
    return sent;
}

// AddressSanitizer's shadow memory and quarantine roughly double what the node holds.
#ifdef __SANITIZE_ADDRESS__
constexpr long boundKib = 160 * 1024;
#else
constexpr long boundKib = 64 * 1024;
#endif

}  // namespace

TEST(Abuse, EndlessHeadersAreCutOffWhileTheyAreRead) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady());

    constexpr std::size_t perClient = 256u << 20;
    std::vector<std::size_t> sent(8);
    std::vector<std::thread> clients;
    for (auto& s : sent)
        clients.emplace_back([&s, &node] { s = sendEndlessHeaders(node.port(), perClient); });
    for (auto& t : clients) t.join();

    // Each client was refused long before it had sent all it wanted to.
    for (auto s : sent) EXPECT_LT(s, perClient);
    const auto peak = peakKib(node.process().pid());
    ::testing::Test::RecordProperty("peak_kib", std::to_string(peak));
    EXPECT_LT(peak, boundKib) << "peak KiB";
    EXPECT_TRUE(node.blockCount());
}

TEST(Abuse, BatchesAreCappedAndAnsweredWithoutStarvingOthers) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady());
    const auto auth = basicAuth(Node::testUser, Node::testPassword);

    auto batchOf = [](std::size_t entries, const std::string& entry) {
        std::string body = "[";
        for (std::size_t i = 0; i < entries; ++i) body += (i ? "," : "") + entry;
        return body + "]";
    };
    struct Case {
        std::string body;
        int status;
        const char* says;
    };
    const std::string call = R"({"method":"getblockcount","id":1})";
    for (const auto& c : {
             Case{batchOf(1000, call), 200, R"("error":null)"},
             Case{batchOf(1001, call), 400, "at most 1000 requests"},
             // Almost 8 MiB of the smallest entries: four million of them.
             Case{batchOf(4'000'000, "1"), 400, "at most 1000 requests"},
             Case{batchOf(200'000, call), 400, "at most 1000 requests"},
         }) {
        auto reply = httpPost(node.port(), auth, c.body);
        EXPECT_EQ(reply.status, c.status) << c.body.size();
        EXPECT_NE(reply.body.find(c.says), std::string::npos) << reply.body.substr(0, 200);
    }
    const auto peak = peakKib(node.process().pid());
    ::testing::Test::RecordProperty("peak_kib", std::to_string(peak));
    EXPECT_LT(peak, boundKib) << "peak KiB";
    // Others are still answered.
    EXPECT_TRUE(node.blockCount());
}
