#include "server/outbox.h"

#include <sodium.h>

#include <fstream>
#include <stdexcept>

#include "server/metrics.h"

namespace {

std::string randomHex(std::size_t bytes) {
    std::string raw(bytes, '\0');
    randombytes_buf(raw.data(), raw.size());
    std::string hex(2 * bytes + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
    hex.pop_back();
    return hex;
}

// A header value of any text, as an RFC 2047 encoded word.
std::string encodedWord(const std::string& text) {
    std::string out(sodium_base64_ENCODED_LEN(text.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    out.pop_back();
    return "=?UTF-8?B?" + out + "?=";
}

std::string rfc5322Date(std::time_t now) {
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S +0000", &utc);
    return text;
}

std::string domainOf(const std::string& address) {
    std::size_t at = address.rfind('@');
    std::string domain = at == std::string::npos ? "localhost" : address.substr(at + 1);
    return domain.substr(0, domain.find('>'));
}

}  // namespace

std::string siteHost(std::string_view site) {
    std::size_t scheme = site.find("://");
    std::string_view rest = site.substr(scheme == std::string_view::npos ? 0 : scheme + 3);
    std::size_t end = !rest.empty() && rest.front() == '[' ? rest.find(']') + 1 : rest.find(':');
    return std::string(rest.substr(0, end));
}

std::string serviceSender(std::string_view site) { return "Kvippa <noreply@" + siteHost(site) + ">"; }

std::string mailText(const MailMessage& message, std::time_t now) {
    std::string text;
    text += "From: " + message.from + "\r\n";
    text += "To: " + message.to + "\r\n";
    text += "Subject: " + encodedWord(message.subject) + "\r\n";
    text += "Date: " + rfc5322Date(now) + "\r\n";
    text += "Message-ID: <" + randomHex(16) + "@" + domainOf(message.from) + ">\r\n";
    for (const std::string& header : message.headers) text += header + "\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: 8bit\r\n\r\n";
    for (std::size_t start = 0; start < message.body.size();) {
        std::size_t end = message.body.find('\n', start);
        if (end == std::string::npos) end = message.body.size();
        text += message.body.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    return text;
}

void Outbox::send(const MailMessage& message, std::time_t now) const {
    std::string text = mailText(message, now);

    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    std::string name = std::to_string(now) + "-" + randomHex(8);
    std::filesystem::path aside = folder_ / ("." + name + ".tmp"), final = folder_ / (name + ".eml");
    {
        std::ofstream file(aside, std::ios::binary);
        file << text;
        if (!file.flush()) {
            serviceMetrics().mailFailed();
            throw std::runtime_error("cannot write mail into " + folder_.string());
        }
    }
    std::filesystem::rename(aside, final, error);
    if (error) {
        serviceMetrics().mailFailed();
        throw std::runtime_error("cannot write mail into " + folder_.string() + ": " + error.message());
    }
    serviceMetrics().mailQueued();
}
