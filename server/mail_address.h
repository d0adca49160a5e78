#pragma once
// An e-mail address the service will write to: exactly one mailbox,
// local@domain, with no display name, no list, no comment, no quoting and
// no address literal. Anything a mail program would read as more than one
// recipient, or as a header, is not one.
#include <string_view>

bool isOneMailbox(std::string_view address);
