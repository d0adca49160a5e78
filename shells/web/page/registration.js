// The registration dialog: the e-mail address and the password, sent with
// OK through the same form and scrambling as the Windows game (built by the
// module), posted to the service that served this page. The module decides
// everything; this carries out what it says.
import { jsonAt, withBytes, withTexts } from "./module.js";
import { button, messageBox, modal } from "./dialogs.js";
import * as texts from "./texts.js";

// As long as the Windows game waits for the whole exchange.
const EXCHANGE_TIME_LIMIT_MS = 30000;
const MAX_ANSWER_BYTES = 16383;
// The module's codes of a post without an answer (platform/http.h).
const UNEXPLAINED_FAILURE = -2;
const REFUSED_STATUS = -4;

const encoder = new TextEncoder();

// The post and what became of it, for the module: the answer's bytes as
// sent, or why there is none.
async function post(body) {
  try {
    const response = await fetch(new URL("/r0002.asp", location.href), {
      method: "POST",
      headers: { "Content-Type": "application/x-www-form-urlencoded" },
      body,
      cache: "no-store",
      signal: AbortSignal.timeout(EXCHANGE_TIME_LIMIT_MS),
    });
    if (!response.ok) {
      return { answered: false, code: REFUSED_STATUS, bytes: encoder.encode(`HTTP ${response.status} ${response.statusText}`) };
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    return { answered: true, code: 0, bytes: bytes.subarray(0, MAX_ANSWER_BYTES) };
  } catch (error) {
    return { answered: false, code: UNEXPLAINED_FAILURE, bytes: encoder.encode(String(error && error.message || error)) };
  }
}

// Runs the dialog; settles when it ends. `openAddress(address)` opens a
// page; `tickets` sends the best score's replay for proof beside the form.
export function registration(module, openAddress, tickets) {
  const opened = jsonAt(module, module._zifra_registration_opened());
  return new Promise((resolve) => {
    let dialog, userName, password, okButton;
    let sending = false;
    const fieldOf = (name) => (name === "password" ? password : userName);
    const carryOut = async (actions) => {
      for (const action of actions) {
        if (action.kind === "openPage") openAddress(action.address);
        if (action.kind === "sayTryAgain") okButton.textContent = action.button;
        if (action.kind === "reportFailure") await messageBox(action.message.caption, action.message.text);
        if (action.kind === "endDialog") {
          dialog.close();
          dialog.remove();
          resolve();
          return;
        }
      }
    };
    const ok = async () => {
      if (sending) return;
      const typed = jsonAt(module, withTexts(module, [userName.value, password.value],
                                             (name, secret) => module._zifra_registration_ok(name, secret)));
      if (typed.refused) {
        await messageBox(typed.refused.caption, typed.refused.text);
        fieldOf(typed.focus).focus();
        fieldOf(typed.focus).select();
        return;
      }
      if (!typed.send) return;
      okButton.textContent = typed.button;
      // As the Windows dialog, which is blocked while it sends: nothing else
      // can be done meanwhile.
      sending = true;
      dialog.classList.add("skickar");
      for (const control of dialog.querySelectorAll("input, button")) control.disabled = true;
      await tickets.sendReplay();
      const answer = await post(typed.body);
      for (const control of dialog.querySelectorAll("input, button")) control.disabled = false;
      dialog.classList.remove("skickar");
      sending = false;
      const actions = withBytes(module, answer.bytes, (pointer, length) =>
        jsonAt(module, module._zifra_registration_answered(answer.answered ? 1 : 0, answer.code, pointer, length,
                                                           performance.now())));
      // The address and the password are known now: the next game's
      // ticket is fetched while the player answers.
      tickets.refill();
      await carryOut(actions);
    };
    const cancel = () => {
      if (sending) return;
      carryOut(jsonAt(module, module._zifra_registration_cancelled(performance.now())));
    };
    const newUser = () => carryOut(jsonAt(module, module._zifra_registration_new_user()));

    dialog = modal({
      id: "registration",
      title: opened.caption,
      fill(element) {
        const form = document.createElement("form");
        form.addEventListener("submit", (event) => {
          event.preventDefault();
          ok();
        });
        const group = (legend, input) => {
          const set = document.createElement("fieldset");
          const caption = document.createElement("legend");
          caption.textContent = legend;
          set.append(caption, input);
          return set;
        };
        const input = (id, type, value, maxLength) => {
          const field = document.createElement("input");
          field.id = id;
          field.type = type;
          field.value = value;
          field.maxLength = maxLength;
          field.autocomplete = type === "password" ? "current-password" : "username";
          field.spellcheck = false;
          return field;
        };
        userName = input("registration-user", "text", opened.userName, opened.maxUserName);
        password = input("registration-password", "password", opened.password, opened.maxPassword);
        const buttons = texts.registration.buttons;
        okButton = button(buttons[1], null, "submit");
        okButton.id = "registration-ok";
        const row = document.createElement("div");
        row.className = "knappar";
        row.append(okButton, button(buttons[2], cancel), button(buttons[3], newUser));
        form.append(group(texts.registration.groups[0], userName), group(texts.registration.groups[1], password), row);
        element.append(form);
      },
    });
    dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      cancel();
    });
    const first = fieldOf(opened.focus);
    first.focus();
    first.select();
  });
}
