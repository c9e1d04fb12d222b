// A stand-in for the command-line mailer SendEmail, for a machine without it (Windows under
// Wine): started as "SendEmail" it reads the options PACEDECK's mail commands give, sends one
// message over plain SMTP (no TLS) and appends what it did to the log file named after -l.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace simcoin {

struct MailRequest {
    std::string from, subject, message, messageFile, server, logFile;
    std::vector<std::string> to, attachments;   // to: the -t, -cc and -bcc addresses
    std::map<std::string, std::string> extras;  // -o name=value, -xu and -xp
    bool quiet = false;                         // -q: the log file alone is told
};

// The request in SendEmail's options; an unknown option gives the reason in `error`.
MailRequest parseMailOptions(const std::vector<std::string>& args, std::string& error);
// The message as sent after DATA: headers, the body, the attachments as MIME parts.
std::string mailMessage(const MailRequest& request, const std::string& body);
// Sends the request; 0 when the server took the message.
int runMailer(const std::vector<std::string>& args);

}  // namespace simcoin
