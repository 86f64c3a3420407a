// Normalising and splitting URLs; no platform calls.
#include "net/url.h"

namespace ks {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void NormalizeURL(std::string& url) {
    std::string head = url.substr(0, 8);
    for (char& c : head)
        c = AsciiLower(c);
    if (head.find("https://") == std::string::npos && head.find("http://") == std::string::npos)
        url.insert(0, "http://");
}

UrlParts SplitURL(const std::string& url) {
    UrlParts parts;
    std::string rest = url;
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd != std::string::npos) {
        parts.Scheme = url.substr(0, schemeEnd);
        rest = url.substr(schemeEnd + 3);
    }

    const std::size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);

    // A host never holds "@", so the last one ends the user information.
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        if (colon == std::string::npos) {
            parts.Password = userInfo;
        } else {
            parts.UserName = userInfo.substr(0, colon);
            parts.Password = userInfo.substr(colon + 1);
        }
        authority.erase(0, at + 1);
    }

    // An IPv6 literal keeps its colons inside the brackets.
    const std::size_t bracket = authority.rfind(']');
    const std::size_t portColon = authority.find(':', bracket == std::string::npos ? 0 : bracket);
    parts.Host = authority.substr(0, portColon);
    if (portColon != std::string::npos)
        parts.Port = authority.substr(portColon + 1);

    const std::size_t question = rest.find('?');
    if (question != std::string::npos && question > 0) {
        parts.Path = rest.substr(0, question);
        parts.Query = rest.substr(question + 1);
    } else {
        parts.Path = rest;
    }
    return parts;
}

int ConnectionPort(const UrlParts& parts, int defaultPort) {
    if (parts.Port.empty())
        return defaultPort;
    if (parts.Port.size() > 5)
        return -1;
    int port = 0;
    for (char c : parts.Port) {
        if (c < '0' || c > '9')
            return -1;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? port : -1;
}

} // namespace ks
