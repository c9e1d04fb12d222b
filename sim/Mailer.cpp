#include "Mailer.hpp"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "Auth.hpp"
#include "NetWait.hpp"
#include "System.hpp"

namespace simcoin {

namespace {

std::string readWhole(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    ok = bool(in);
    return out.str();
}

// Addresses given as one value, parted by commas or blanks.
void addAddresses(std::vector<std::string>& into, const std::string& value) {
    std::string one;
    for (char c : value + ",") {
        if (c == ',' || c == ' ' || c == ';') {
            if (!one.empty()) into.push_back(one);
            one.clear();
        } else {
            one += c;
        }
    }
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string baseName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// One SMTP conversation over a connection, each step bounded by the deadline.
class Smtp {
  public:
    Smtp(net::Socket socket, const Deadline& deadline) : socket_(socket), deadline_(deadline) {}
    // The server's reply code to what was sent (a multi-line reply read whole), 0 when none came.
    int reply() {
        for (;;) {
            const auto end = in_.find("\r\n");
            if (end != std::string::npos) {
                const std::string line = in_.substr(0, end);
                in_.erase(0, end + 2);
                last_ += line + "\n";
                if (line.size() >= 4 && line[3] == '-') continue;
                return line.size() >= 3 ? std::atoi(line.substr(0, 3).c_str()) : 0;
            }
            char buffer[4096];
            if (!waitFor(socket_, false, deadline_)) return 0;
            const auto got = net::receiveSome(socket_, buffer, sizeof buffer);
            if (got.state == net::Transfer::State::Closed) return 0;
            if (got.state == net::Transfer::State::Moved) in_.append(buffer, got.bytes);
        }
    }
    int say(const std::string& line) {
        last_.clear();
        return sendAll(socket_, line + "\r\n", deadline_) ? reply() : 0;
    }
    const std::string& last() const { return last_; }

  private:
    net::Socket socket_;
    const Deadline& deadline_;
    std::string in_;
    std::string last_;
};

void log(const MailRequest& r, const std::string& what) {
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%b %d %H:%M:%S", std::localtime(&now));
    const std::string line =
        std::string(stamp) + " sendEmail[" + std::to_string(currentProcessId()) + "]: " + what;
    if (!r.quiet) std::fprintf(stderr, "%s\n", line.c_str());
    if (!r.logFile.empty()) std::ofstream(r.logFile, std::ios::app | std::ios::binary) << line << "\r\n";
}

}  // namespace

MailRequest parseMailOptions(const std::vector<std::string>& args, std::string& error) {
    MailRequest r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "-q" || option == "-v") {
            r.quiet = r.quiet || option == "-q";
            continue;
        }
        if (option == "-a") {
            while (i + 1 < args.size() && !args[i + 1].starts_with("-")) r.attachments.push_back(args[++i]);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "the option " + option + " lacks its value";
            return r;
        }
        const std::string& value = args[++i];
        if (option == "-f")
            r.from = value;
        else if (option == "-t" || option == "-cc" || option == "-bcc")
            addAddresses(r.to, value);
        else if (option == "-u")
            r.subject = value;
        else if (option == "-m")
            r.message = value;
        else if (option == "-s")
            r.server = value;
        else if (option == "-l")
            r.logFile = value;
        else if (option == "-xu" || option == "-xp")
            r.extras[option] = value;
        else if (option == "-o" && value.find('=') != std::string::npos)
            r.extras[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        else
            error = "unknown option " + option;
        if (r.extras.contains("message-file")) r.messageFile = r.extras["message-file"];
        if (!error.empty()) return r;
    }
    return r;
}

std::string mailMessage(const MailRequest& r, const std::string& body) {
    std::string out = "From: " + r.from + "\r\nTo: ";
    for (std::size_t i = 0; i < r.to.size(); ++i) out += (i ? ", " : "") + r.to[i];
    out += "\r\nSubject: " + r.subject + "\r\nX-Mailer: simcoin's SendEmail\r\nMIME-Version: 1.0\r\n";
    std::string text = withCrLf(body);
    if (r.attachments.empty()) {
        out += "Content-Type: text/plain; charset=utf-8\r\n\r\n" + text;
    } else {
        const std::string boundary = "simcoin-part-boundary";
        out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary +
               "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" + text + "\r\n";
        for (const auto& path : r.attachments) {
            bool ok = false;
            const std::string encoded = base64Encode(readWhole(path, ok));
            out += "--" + boundary + "\r\nContent-Type: application/octet-stream; name=\"" + baseName(path) +
                   "\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" +
                   baseName(path) + "\"\r\n\r\n";
            for (std::size_t at = 0; at < encoded.size(); at += 76) out += encoded.substr(at, 76) + "\r\n";
        }
        out += "--" + boundary + "--\r\n";
    }
    // A line that starts with a dot gets another, so that none ends the message early.
    std::string stuffed;
    std::size_t start = 0;
    while (start < out.size()) {
        auto end = out.find("\r\n", start);
        end = end == std::string::npos ? out.size() : end + 2;
        if (out[start] == '.') stuffed += '.';
        stuffed += out.substr(start, end - start);
        start = end;
    }
    if (!stuffed.ends_with("\r\n")) stuffed += "\r\n";
    return stuffed;
}

int runMailer(const std::vector<std::string>& args) {
    std::string error;
    const MailRequest r = parseMailOptions(args, error);
    if (error.empty() && (r.from.empty() || r.to.empty() || r.server.empty()))
        error = "the sender (-f), a recipient (-t) and the server (-s) are needed";
    std::string body = r.message;
    if (error.empty() && !r.messageFile.empty()) {
        bool ok = false;
        body = readWhole(r.messageFile, ok);
        if (!ok) error = "cannot read the message file " + r.messageFile;
    }
    for (const auto& path : r.attachments) {
        bool ok = false;
        readWhole(path, ok);
        if (error.empty() && !ok) error = "cannot read the attachment " + path;
    }
    if (!error.empty()) {
        log(r, "ERROR => " + error);
        return 1;
    }
    const auto colon = r.server.rfind(':');
    const std::string host = colon == std::string::npos ? r.server : r.server.substr(0, colon);
    const int port = colon == std::string::npos ? 25 : std::atoi(r.server.substr(colon + 1).c_str());
    Deadline deadline(std::chrono::seconds(60));
    bool pending = false;
    Connection connection(net::connectTcp(host, static_cast<std::uint16_t>(port), pending));
    if (connection.socket() == net::invalidSocket ||
        (pending && !net::finishConnect(connection.socket(), deadline.remaining()))) {
        log(r, "ERROR => Connection attempt to " + r.server + " failed");
        return 1;
    }
    Smtp smtp(connection.socket(), deadline);
    bool sent = smtp.reply() == 220 && smtp.say("EHLO localhost") == 250 &&
                smtp.say("MAIL FROM:<" + r.from + ">") == 250;
    for (const auto& to : r.to) sent = sent && smtp.say("RCPT TO:<" + to + ">") == 250;
    sent = sent && smtp.say("DATA") == 354 && smtp.say(mailMessage(r, body) + ".") == 250;
    if (!sent) {
        log(r, "ERROR => The server said: " + smtp.last());
        return 1;
    }
    smtp.say("QUIT");
    std::string to;
    for (const auto& t : r.to) to += (to.empty() ? "<" : ", <") + t + ">";
    log(r,
        "Email was sent successfully!  From: <" + r.from + "> To: " + to + " Subject: [" + r.subject + "]");
    return 0;
}

}  // namespace simcoin
