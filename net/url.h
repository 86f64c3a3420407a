// URL texts as the transfer functions take them apart.
#pragma once
#include <string>

namespace ks {

struct UrlParts {
    std::string Scheme;
    std::string UserName;
    std::string Password;
    std::string Host;
    std::string Port; // as written after the host; empty when the URL names none
    std::string Path; // without its leading "/"
    std::string Query;
};

// Puts "http://" in front unless "http://" or "https://" occurs in the first eight
// characters (compared without regard to ASCII letter case).
void NormalizeURL(std::string& url);

// The authority (user information, host, port) is read only from the text between "://"
// and the next "/", so an "@" or ":" in the path can never redirect a request.
UrlParts SplitURL(const std::string& url);

// The port to connect to: the URL's own when it names one, else defaultPort.
// -1 when the URL's port is not a number from 1 to 65535.
int ConnectionPort(const UrlParts& parts, int defaultPort);

} // namespace ks
