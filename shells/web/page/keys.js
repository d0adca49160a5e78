// The game's keys from the page: the arrows, Space and F1, by their place
// on the keyboard, whatever the layout. The browser does nothing of its own
// with them (no scrolling, no help page).
const GAME_KEYS = { ArrowLeft: 0, ArrowRight: 1, ArrowUp: 2, ArrowDown: 3, Space: 4, F1: 5 };
const NEW_GAME = 5;

// Calls `onKey(key, down)` with the GameKey's number for each game key that
// goes down (repeats too, as Windows sends them) or up while `playing()`;
// `onAnyKey()` first for every key.
export function listenToKeys(target, playing, onKey, onAnyKey) {
  const handle = (down) => (event) => {
    onAnyKey();
    const key = GAME_KEYS[event.code];
    if (key === undefined) return;
    // The browser's own shortcuts stay its own; a key let go counts always.
    if (down && (event.ctrlKey || event.metaKey || event.altKey)) return;
    // In a dialog the keys are the dialog's, but F1 still opens no help.
    if (!playing()) {
      if (key === NEW_GAME) event.preventDefault();
      return;
    }
    event.preventDefault();
    onKey(key, down);
  };
  target.addEventListener("keydown", handle(true));
  target.addEventListener("keyup", handle(false));
}
