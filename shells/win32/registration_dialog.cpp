// The registration dialog's procedure: it reads and fills the controls, sends
// the record, and carries out the dialog's part of what the program decides.
// The dialog runs as a Unicode window, so its fields hold every character
// typed and the program, not a silent conversion, decides what can be sent.
#include <string>
#include <string_view>

#include "app/code_page_1252.h"
#include "app/program.h"
#include "app/registration_fields.h"
#include "app/registration_messages.h"
#include "app/web_addresses.h"
#include "net/score_submission.h"
#include "platform/timer.h"
#include "res/resource_ids.h"
#include "shells/win32/dialogs.h"
#include "shells/win32/main_window.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

constexpr int buttonOk = 1;      // also Enter
constexpr int buttonCancel = 2;  // "Avbryt", also Escape

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The program's own text, kept in code page 1252, on a control of this
// Unicode dialog: the "A" calls would read it in the system's code page.
void setText(HWND dialog, int control, std::string_view codePageText) {
    SetDlgItemTextW(dialog, control, wide(fromCodePage1252(codePageText)));
}

int controlOf(RegistrationField field) { return field == RegistrationField::userName ? IDC_USER_NAME : IDC_PASSWORD; }

// The field's text; the field holds no more than `maxLength` characters.
std::u16string fieldText(HWND dialog, int id, std::size_t maxLength) {
    std::u16string text(maxLength + 1, u'\0');
    int length = GetDlgItemTextW(dialog, id, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The caret into the field, its text selected, as Tab would leave it.
void placeCaret(HWND dialog, RegistrationField field) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, controlOf(field))), TRUE);
}

void tell(HWND dialog, const PlayerMessage& message) {
    MessageBoxW(dialog, wide(message.text), wide(message.caption), MB_OK | MB_ICONWARNING);
}

void carryOut(HWND dialog, const Program& program, const RegistrationActions& actions) {
    for (const RegistrationAction& action : actions) {
        switch (action.kind) {
        case RegistrationAction::OpenPage: openWebPage(competitionAddress(action.page)); break;
        case RegistrationAction::SayTryAgain: setText(dialog, buttonOk, "F\xF6rs\xF6k igen"); break;
        case RegistrationAction::ReportFailure: tell(dialog, failedSubmissionMessage(program.theSubmission)); break;
        // Only marks the dialog to close once this message is handled.
        case RegistrationAction::EndDialog: EndDialog(dialog, 0); break;
        // The program's own part, carried out by the program.
        default: break;
        }
    }
}

void onInit(HWND dialog, Program& program) {
    std::string caption = "Registrera din po\xE4ng (" + std::to_string(program.bestScore.value()) + ")";
    SetWindowTextW(dialog, wide(fromCodePage1252(caption)));
    // The fields take no more than the form carries.
    SendDlgItemMessageW(dialog, IDC_USER_NAME, EM_LIMITTEXT, maxUserNameLength, 0);
    SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, maxPasswordLength, 0);
    setText(dialog, IDC_USER_NAME, program.theSubmission.userName);
    setText(dialog, IDC_PASSWORD, program.theSubmission.password);
    placeCaret(dialog, firstFieldToType(program.theSubmission));
}

void onOk(HWND dialog, Program& program) {
    TypedFields typed = takeTypedFields(fieldText(dialog, IDC_USER_NAME, maxUserNameLength),
                                        fieldText(dialog, IDC_PASSWORD, maxPasswordLength));
    platform::sleepMilliseconds(10);
    if (typed.refused) {
        tell(dialog, unsendableCharacterMessage(*typed.refused));
        placeCaret(dialog, typed.refused->field);
        return;
    }
    if (!program.prepareSubmission(std::move(typed.userName), std::move(typed.password))) return;
    setText(dialog, buttonOk, "Skickar...");
    // Blocks for some seconds: the speed count alone takes three, and the
    // network as long as its time limits allow.
    submitScore(program.theSubmission);
    carryOut(dialog, program, program.registrationSubmitted(platform::milliseconds()));
}

}  // namespace

INT_PTR CALLBACK registrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* program = beginDialogMessage<Program>(dialog, message, lParam);
    if (!program) return 0;
    switch (message) {
    case WM_INITDIALOG: onInit(dialog, *program); return 0;  // 0: the focus is placed already
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case buttonOk: onOk(dialog, *program); break;
        case buttonCancel: carryOut(dialog, *program, program->registrationCancelled(platform::milliseconds())); break;
        case IDC_NEW_USER: carryOut(dialog, *program, actionsOnNewUser()); break;
        }
        return 0;
    default: return 0;
    }
}
