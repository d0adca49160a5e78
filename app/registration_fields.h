#pragma once
// The registration dialog's two fields: where the typing starts, and what of
// the typed text the form can carry.
#include <optional>
#include <string>
#include <string_view>

#include "net/submission_record.h"

enum class RegistrationField { userName, password };

// The user name's field, or the password's once a name is known from earlier
// in the run.
RegistrationField firstFieldToType(const SubmissionRecord& record);

// The fields as typed (UTF-16), as the form carries them (code page 1252);
// when one holds a character that has no byte there, which field and which
// character instead, and neither text.
struct TypedFields {
    std::string userName;
    std::string password;
    struct Refusal {
        RegistrationField field;
        char32_t character;
    };
    std::optional<Refusal> refused;
};
TypedFields takeTypedFields(std::u16string_view userName, std::u16string_view password);
