// The program's modal dialogs as HTML dialogs over the game: the yes/no
// prompt, the information text and a message box, with the resource
// script's own texts. Each returns a promise of its answer; the game stands
// still until it is settled.
import * as texts from "./texts.js";

// A modal <dialog> with a title bar (and a close box when `closeBox` is
// given), the body built by `fill(dialog)`.
export function modal({ id, title, closeBox, fill }) {
  const dialog = document.createElement("dialog");
  dialog.id = id;
  dialog.className = "fenster";
  const bar = document.createElement("div");
  bar.className = "titel";
  const caption = document.createElement("span");
  caption.className = "rubrik";
  caption.textContent = title;
  bar.append(caption);
  if (closeBox) {
    const close = document.createElement("button");
    close.type = "button";
    close.className = "stang";
    close.setAttribute("aria-label", "Stäng");
    close.textContent = "×";
    close.addEventListener("click", closeBox);
    bar.append(close);
  }
  dialog.append(bar);
  fill(dialog);
  document.body.append(dialog);
  dialog.showModal();
  return dialog;
}

export function button(text, onClick, type = "button") {
  const element = document.createElement("button");
  element.type = type;
  element.textContent = text;
  if (onClick) element.addEventListener("click", onClick);
  return element;
}

function buttonRow(...buttons) {
  const row = document.createElement("div");
  row.className = "knappar";
  row.append(...buttons);
  return row;
}

// The yes/no prompt; true for "Ja" (also Enter), false for "Nej" (also
// Escape and the close box).
export function prompt(title, question) {
  return new Promise((resolve) => {
    let dialog;
    const answer = (yes) => () => {
      dialog.close();
      dialog.remove();
      resolve(yes);
    };
    dialog = modal({
      id: "prompt",
      title,
      closeBox: answer(false),
      fill(element) {
        const text = document.createElement("p");
        text.className = "fraga";
        text.id = "prompt-text";
        text.textContent = question;
        element.append(text, buttonRow(button(texts.prompt.buttons[1], answer(true)),
                                       button(texts.prompt.buttons[2], answer(false))));
      },
    });
    dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      answer(false)();
    });
  });
}

// The information text; only OK closes it (Escape does nothing).
export function information(text) {
  return new Promise((resolve) => {
    let dialog;
    const ok = () => {
      dialog.close();
      dialog.remove();
      resolve();
    };
    dialog = modal({
      id: "information",
      title: texts.information.caption,
      fill(element) {
        const field = document.createElement("textarea");
        field.id = "information-text";
        field.readOnly = true;
        field.value = text;
        const okButton = button(texts.information.buttons[1], ok);
        element.append(field, buttonRow(okButton));
        queueMicrotask(() => okButton.focus());
      },
    });
    dialog.addEventListener("cancel", (event) => event.preventDefault());
  });
}

// A message box with one OK over whatever dialog is open.
export function messageBox(caption, text) {
  return new Promise((resolve) => {
    let dialog;
    const ok = () => {
      dialog.close();
      dialog.remove();
      resolve();
    };
    dialog = modal({
      id: "meddelande",
      title: caption,
      fill(element) {
        const body = document.createElement("p");
        body.className = "meddelande";
        body.textContent = text;
        element.append(body, buttonRow(button("OK", ok)));
      },
    });
    dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      ok();
    });
  });
}
