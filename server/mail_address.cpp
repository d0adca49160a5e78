#include "server/mail_address.h"

#include <algorithm>

namespace {

constexpr std::size_t maxLocalPart = 64, maxDomain = 253, maxLabel = 63;

bool asciiLetterOrDigit(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// A dot-atom character of a local part; bytes past ASCII are letters of a
// UTF-8 name (the caller has checked it is printable UTF-8).
bool localCharacter(unsigned char c) {
    static constexpr std::string_view specials = "!#$%&'*+-/=?^_`{|}~";
    return asciiLetterOrDigit(c) || c >= 0x80 || specials.find(static_cast<char>(c)) != std::string_view::npos;
}

bool domainCharacter(unsigned char c) { return asciiLetterOrDigit(c) || c == '-' || c >= 0x80; }

bool dotAtom(std::string_view text, bool (*allowed)(unsigned char)) {
    if (text.empty() || text.front() == '.' || text.back() == '.' || text.find("..") != std::string_view::npos) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [&](char c) { return c == '.' || allowed(static_cast<unsigned char>(c)); });
}

}  // namespace

bool isOneMailbox(std::string_view address) {
    std::size_t at = address.find('@');
    if (at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos) return false;
    std::string_view local = address.substr(0, at), domain = address.substr(at + 1);
    if (local.size() > maxLocalPart || domain.size() > maxDomain) return false;
    if (!dotAtom(local, localCharacter) || !dotAtom(domain, domainCharacter)) return false;
    // At least a name and a top-level domain, every label within bounds and
    // not beginning or ending with a hyphen; a top level of digits alone is
    // an IP address in disguise.
    std::size_t labels = 0;
    bool digitsOnly = true;
    for (std::size_t start = 0; start <= domain.size();) {
        std::size_t end = std::min(domain.find('.', start), domain.size());
        std::string_view label = domain.substr(start, end - start);
        if (label.size() > maxLabel || label.front() == '-' || label.back() == '-') return false;
        digitsOnly = std::all_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; });
        ++labels;
        start = end + 1;
    }
    return labels >= 2 && !digitsOnly;
}
