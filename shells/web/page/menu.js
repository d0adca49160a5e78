// The main window's menu bar: the resource script's three menus and their
// items. An open menu holds the game, as the Windows menu's modal loop
// does; closing it ends that loop, and a chosen item's command follows.
import * as texts from "./texts.js";

// `onOpen()` when a menu opens, `onClose(commandId or null)` when it closes.
export function buildMenu(bar, onOpen, onClose) {
  let open = null;
  const close = (commandId) => {
    if (!open) return;
    open.classList.remove("oppen");
    open.querySelector("button").setAttribute("aria-expanded", "false");
    open = null;
    onClose(commandId);
  };
  for (const menu of texts.menu) {
    const entry = document.createElement("div");
    entry.className = "meny";
    const title = document.createElement("button");
    title.type = "button";
    title.textContent = menu.caption;
    title.setAttribute("aria-haspopup", "true");
    title.setAttribute("aria-expanded", "false");
    const list = document.createElement("ul");
    list.setAttribute("role", "menu");
    for (const item of menu.items) {
      const choice = document.createElement("li");
      const command = document.createElement("button");
      command.type = "button";
      command.setAttribute("role", "menuitem");
      command.dataset.command = String(item.id);
      command.textContent = item.caption;
      command.addEventListener("click", (event) => {
        event.stopPropagation();
        close(item.id);
      });
      choice.append(command);
      list.append(choice);
    }
    title.addEventListener("click", (event) => {
      event.stopPropagation();
      if (open === entry) return close(null);
      if (open) {
        open.classList.remove("oppen");
        open.querySelector("button").setAttribute("aria-expanded", "false");
      } else {
        onOpen();
      }
      open = entry;
      entry.classList.add("oppen");
      title.setAttribute("aria-expanded", "true");
    });
    entry.append(title, list);
    bar.append(entry);
  }
  document.addEventListener("click", () => close(null));
  document.addEventListener("keydown", (event) => {
    if (open && event.code === "Escape") close(null);
  });
  return { isOpen: () => open !== null };
}
