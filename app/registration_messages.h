#pragma once
// What the registration dialog tells the player in a message box, in UTF-16
// so that it can name any character.
#include <string>

#include "app/registration_fields.h"
#include "net/submission_record.h"

struct PlayerMessage {
    std::u16string caption;
    std::u16string text;

    bool operator==(const PlayerMessage&) const = default;
};

// After an attempt that was neither accepted nor refused with 1 or 2: that
// the score was not sent, and why: the record's message, or its result code
// when there is none. Control characters of the message are not shown.
PlayerMessage failedSubmissionMessage(const SubmissionRecord& record);

// A field holds a character that cannot be sent: which field, which character.
PlayerMessage unsendableCharacterMessage(const TypedFields::Refusal& refusal);
