#include "app/registration_fields.h"

#include "app/code_page_1252.h"

RegistrationField firstFieldToType(const SubmissionRecord& record) {
    return record.userName.empty() ? RegistrationField::userName : RegistrationField::password;
}

TypedFields takeTypedFields(std::u16string_view userName, std::u16string_view password) {
    CodePageText name = toCodePage1252(userName);
    if (name.refused) return {{}, {}, TypedFields::Refusal{RegistrationField::userName, *name.refused}};
    CodePageText word = toCodePage1252(password);
    if (word.refused) return {{}, {}, TypedFields::Refusal{RegistrationField::password, *word.refused}};
    return {std::move(name.bytes), std::move(word.bytes), std::nullopt};
}
