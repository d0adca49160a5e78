#include "app/registration_messages.h"

#include <cstdio>

#include "app/code_page_1252.h"

namespace {

constexpr char16_t replacementCharacter = 0xFFFD;

std::u16string widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// What a server or the library said, on one line and without what a message
// box would act on or cut at (a zero byte ends its text).
std::u16string shown(std::string_view message) {
    std::u16string text = fromCodePage1252(message);
    for (char16_t& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            c = u' ';
        } else if (c < 0x20 || c == 0x7F) {
            c = replacementCharacter;
        }
    }
    return text;
}

std::u16string character(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

std::u16string codePoint(char32_t c) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "U+%04X", static_cast<unsigned>(c));
    return widened(digits);
}

}  // namespace

PlayerMessage failedSubmissionMessage(const SubmissionRecord& record) {
    std::u16string text = u"Poängen kunde inte skickas till tävlingsservern.\n\n";
    if (record.message.empty()) {
        text += u"Felnummer: " + widened(std::to_string(record.resultCode));
    } else {
        text += u"Orsak: " + shown(record.message);
    }
    return {u"Poängen skickades inte", text};
}

PlayerMessage unsendableCharacterMessage(const TypedFields::Refusal& refusal) {
    std::u16string field = refusal.field == RegistrationField::userName ? u"Användarnamnet" : u"Lösenordet";
    return {u"Tecknet kan inte skickas",
            field + u" innehåller tecknet ”" + character(refusal.character) + u"” (" + codePoint(refusal.character) +
                u"), som inte kan skickas till tävlingsservern. Ta bort tecknet och försök igen."};
}
