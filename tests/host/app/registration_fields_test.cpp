// The registration dialog's fields: where typing starts, what is sent, and
// what is refused and told instead.
#include <gtest/gtest.h>

#include "app/registration_fields.h"
#include "app/registration_messages.h"

namespace {

TEST(RegistrationFields, TypingStartsInTheNameUntilANameIsKnown) {
    SubmissionRecord record;
    EXPECT_EQ(firstFieldToType(record), RegistrationField::userName);
    record.password = "hemligt";
    EXPECT_EQ(firstFieldToType(record), RegistrationField::userName);
    record.userName = "anna@example.se";
    EXPECT_EQ(firstFieldToType(record), RegistrationField::password);
}

TEST(RegistrationFields, SendsWhatTheCodePageHoldsAndNamesWhatItDoesNot) {
    struct Case {
        std::u16string userName, password;
        std::string sentName, sentPassword;
        std::optional<RegistrationField> refusedField;
        char32_t refused;
        std::u16string message;
    };
    const Case cases[] = {
        {u"göran@example.se", u"lösen€", "g\xF6ran@example.se", "l\xF6sen\x80", {}, 0, {}},
        {u"", u"", "", "", {}, 0, {}},
        {u"Ωanna@example.se", u"hemligt", "", "", RegistrationField::userName, U'Ω',
         u"Användarnamnet innehåller tecknet ”Ω” (U+03A9), som inte kan skickas till tävlingsservern. "
         u"Ta bort tecknet och försök igen."},
        {u"anna@example.se", u"ΩЖpw", "", "", RegistrationField::password, U'Ω',
         u"Lösenordet innehåller tecknet ”Ω” (U+03A9), som inte kan skickas till tävlingsservern. "
         u"Ta bort tecknet och försök igen."},
        // The name is looked at first.
        {u"Жanna", u"Ωpw", "", "", RegistrationField::userName, U'Ж',
         u"Användarnamnet innehåller tecknet ”Ж” (U+0416), som inte kan skickas till tävlingsservern. "
         u"Ta bort tecknet och försök igen."},
        {u"fisk\U0001F41F", u"pw", "", "", RegistrationField::userName, 0x1F41F,
         u"Användarnamnet innehåller tecknet ”\U0001F41F” (U+1F41F), som inte kan skickas till tävlingsservern. "
         u"Ta bort tecknet och försök igen."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentName);
        TypedFields typed = takeTypedFields(c.userName, c.password);
        EXPECT_EQ(typed.userName, c.sentName);
        EXPECT_EQ(typed.password, c.sentPassword);
        ASSERT_EQ(typed.refused.has_value(), c.refusedField.has_value());
        if (!typed.refused) continue;
        EXPECT_EQ(typed.refused->field, *c.refusedField);
        EXPECT_EQ(typed.refused->character, c.refused);
        EXPECT_EQ(unsendableCharacterMessage(*typed.refused), (PlayerMessage{u"Tecknet kan inte skickas", c.message}));
    }
}

TEST(RegistrationMessages, AFailedSendSaysWhyWithTheMessageOrTheNumber) {
    struct Case {
        std::int32_t resultCode;
        std::string message;
        std::u16string why;
    };
    const Case cases[] = {
        {-4, "HTTP/1.1 503 Service Unavailable", u"Orsak: HTTP/1.1 503 Service Unavailable"},
        {12002, "Servern svarade inte inom 30 sekunder", u"Orsak: Servern svarade inte inom 30 sekunder"},
        {-1, "Kunde inte hitta WinInet.dll", u"Orsak: Kunde inte hitta WinInet.dll"},
        {12029, "", u"Felnummer: 12029"},
        {-2, "", u"Felnummer: -2"},
        // What a server answered, in code page 1252, on one line, and with
        // nothing that a message box would cut at or act on.
        {7, "7\r\nF\xF6rs\xF6k\tsenare", u"Orsak: 7  Försök senare"},
        {-3, std::string("\x01junk\0\x7F\x81", 8), u"Orsak: \uFFFDjunk\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SubmissionRecord record;
        record.resultCode = c.resultCode;
        record.message = c.message;
        EXPECT_EQ(failedSubmissionMessage(record),
                  (PlayerMessage{u"Poängen skickades inte",
                                 u"Poängen kunde inte skickas till tävlingsservern.\n\n" + c.why}));
    }
}

}  // namespace
