// The browser shell: steps the program from the page's clock, shows its
// frames, plays its cues, hands it the keys and the window's news, and
// carries out what it asks for (dialogs, pages, the end). Nothing here
// waits on the page's thread: the next step is a timer set to the time
// the next frame is due.
import { Cues } from "./audio.js";
import * as dialogs from "./dialogs.js";
import { listenToKeys } from "./keys.js";
import { buildMenu } from "./menu.js";
import { jsonAt, loadModule, withBytes } from "./module.js";
import { registration } from "./registration.js";
import { Screen } from "./screen.js";
import { Tickets } from "./tickets.js";

// The requests of a step (PageRequest in web_shell.h).
const NONE = 0, WAIT = 1, HELD = 2, PROMPT = 3, INFORMATION = 4, REGISTRATION = 5, ADDRESS = 6, QUIT = 7;

const now = () => performance.now();

async function start() {
  const { module, bytes } = await loadModule();
  const screen = new Screen(document.getElementById("screen"), module);
  const cues = new Cues();
  await cues.load(module);
  const tickets = new Tickets(module);

  module._zifra_start(now());
  withBytes(module, bytes, (pointer, length) => module._zifra_take_module_bytes(pointer, length));

  let timer = 0;
  let modal = false;
  let stopped = false;
  // firstFrameAt: the page's clock when the first frame was shown, which
  // counts from the navigation's start.
  const status = { frames: 0, drawn: 0, modal: false, ended: false, firstFrameAt: null };

  const schedule = (delay) => {
    clearTimeout(timer);
    timer = setTimeout(run, Math.max(0, delay));
  };
  // After news that may end a hold or a modal loop.
  const wake = () => {
    if (!modal && !stopped && module._zifra_running()) schedule(0);
  };
  const setModal = (value) => {
    modal = value;
    status.modal = value;
  };
  // A modal loop of the shell runs `loop()`; the game stands still until
  // it settles, and the program hears of its end.
  const modalLoop = async (loop) => {
    setModal(true);
    clearTimeout(timer);
    try {
      await loop();
    } finally {
      module._zifra_modal_loop_ended(now());
      setModal(false);
      wake();
    }
  };
  const openAddress = (address) => {
    window.open(new URL(address, location.origin).href, "_blank", "noopener");
  };
  const end = () => {
    status.ended = true;
    document.body.classList.add("slut");
  };

  // What a step (or a menu command) asks for; true to step on at once.
  const carryOut = (request) => {
    const details = () => jsonAt(module, module._zifra_details());
    switch (request) {
      case NONE: return true;
      case WAIT: schedule(module._zifra_due_time() - now()); return false;
      case HELD: return false;
      case PROMPT: {
        const { title, question } = details();
        modalLoop(async () => module._zifra_answer_prompt((await dialogs.prompt(title, question)) ? 1 : 0, now()));
        return false;
      }
      case INFORMATION: {
        const { text } = details();
        modalLoop(async () => {
          await dialogs.information(text);
          module._zifra_close_information(now());
        });
        return false;
      }
      case REGISTRATION:
        modalLoop(() => registration(module, openAddress, tickets));
        return false;
      case ADDRESS:
        openAddress(details().address);
        // As the Windows shell: handing a page over counts as a pause.
        module._zifra_modal_loop_ended(now());
        return !modal;
      case QUIT: end(); return false;
      default: return false;
    }
  };

  function run() {
    timer = 0;
    if (modal || stopped || !module._zifra_running()) return;
    for (;;) {
      const request = module._zifra_step(now());
      const count = module._zifra_cue_count();
      if (count > 0) {
        const first = module._zifra_cues() >> 2;
        for (const id of module.HEAP32.subarray(first, first + count)) cues.play(id);
      }
      if (module._zifra_frame_ran()) {
        ++status.frames;
        if (module._zifra_drawn()) {
          ++status.drawn;
          screen.take(module);
        }
        screen.present();
        if (status.firstFrameAt === null) status.firstFrameAt = now();
        tickets.refill();
      }
      if (!carryOut(request)) return;
    }
  }

  const menu = buildMenu(document.getElementById("menu"), () => {
    setModal(true);
    clearTimeout(timer);
  }, (commandId) => {
    module._zifra_modal_loop_ended(now());
    setModal(false);
    if (commandId !== null && module._zifra_running()) {
      if (!carryOut(module._zifra_menu_command(commandId))) {
        if (!modal) wake();
        return;
      }
    }
    wake();
  });

  listenToKeys(window, () => !modal && !menu.isOpen(), (key, down) => {
    if (!module._zifra_running()) return;
    module._zifra_key(key, down ? 1 : 0);
  }, () => cues.resume());

  // The window as the player sees it: a hidden tab is a minimised window,
  // a page without the focus an inactive one; the program holds the game.
  document.addEventListener("visibilitychange", () => {
    if (!module._zifra_running()) return;
    module._zifra_window_minimised(document.hidden ? 1 : 0, now());
    wake();
  });
  window.addEventListener("blur", () => {
    if (module._zifra_running()) module._zifra_window_active(0, now());
  });
  window.addEventListener("focus", () => {
    if (!module._zifra_running()) return;
    module._zifra_window_active(1, now());
    wake();
  });
  module._zifra_window_minimised(document.hidden ? 1 : 0, now());
  module._zifra_window_active(document.hasFocus() ? 1 : 0, now());

  const fit = () => screen.fit(window.innerWidth - 16, window.innerHeight - document.getElementById("menu").offsetHeight - 16);
  window.addEventListener("resize", fit);
  fit();
  document.body.classList.add("klar");

  // For the tests and the benchmark: what the page has done, and a way to
  // take the module over (the page's own loop then stops for good).
  window.zifraPage = {
    module, screen, cues, tickets, status,
    stop() {
      stopped = true;
      clearTimeout(timer);
    },
  };
  run();
}

start().catch((error) => {
  document.body.classList.add("fel");
  document.getElementById("laddar").textContent = `Spelet kunde inte starta: ${error.message}`;
});
