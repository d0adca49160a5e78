// Verified scores: a ticket fetched ahead for the next game once the player
// has given an address and a password, and the best score's replay sent for
// proof with its registration. Neither is ever waited for by the game; a
// service without verified scores is not asked again.
import { jsonAt, withTexts } from "./module.js";

const TIME_LIMIT_MS = 30000;
// After a failure (no network, a busy service) the next try waits this long.
const RETRY_AFTER_MS = 10000;

export class Tickets {
  constructor(module) {
    this.module = module;
    this.asking = false;
    this.notBefore = 0;
    this.lastProof = null;
  }

  // Asks for a ticket when the module wants one and none is on its way.
  refill() {
    const m = this.module;
    if (this.asking || performance.now() < this.notBefore || !m._zifra_ticket_wanted()) return;
    const request = jsonAt(m, m._zifra_ticket_request());
    this.asking = true;
    fetch(new URL("/api/v1/games", location.href), {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify(request),
      cache: "no-store",
      signal: AbortSignal.timeout(TIME_LIMIT_MS),
    }).then(async (response) => {
      if (response.status === 200) {
        const { ticket, seed } = await response.json();
        if (typeof ticket === "string" && Number.isInteger(seed) && seed >= 0 && seed <= 0xFFFFFFFF) {
          withTexts(m, [ticket], (pointer) => m._zifra_take_ticket(seed, pointer));
        }
      } else if (response.status === 401) {
        m._zifra_ticket_refused();
      } else if (response.status === 404 || response.status === 405) {
        m._zifra_tickets_unavailable();
      } else if (response.status === 429) {
        // Wrong passwords back off: no try before the service checks again.
        const seconds = Number(response.headers.get("Retry-After"));
        this.notBefore = performance.now() + Math.max(RETRY_AFTER_MS, Number.isFinite(seconds) ? seconds * 1000 : 0);
      } else {
        this.notBefore = performance.now() + RETRY_AFTER_MS;
      }
    }).catch(() => {
      this.notBefore = performance.now() + RETRY_AFTER_MS;
    }).finally(() => {
      this.asking = false;
    });
  }

  // Sends the best score's replay when it was played on a ticket; what the
  // service answers (202 and the score's number, or why not) goes to the
  // console and to lastProof, as the game goes on whatever it says.
  async sendReplay() {
    const m = this.module;
    const size = m._zifra_replay_to_verify();
    if (size === 0) return;
    const start = m._zifra_replay_bytes();
    try {
      const response = await fetch(new URL("/api/v1/scores", location.href), {
        method: "POST",
        headers: { "Content-Type": "application/octet-stream" },
        body: m.HEAPU8.slice(start, start + size),
        cache: "no-store",
        signal: AbortSignal.timeout(TIME_LIMIT_MS),
      });
      const text = await response.text();
      this.lastProof = { status: response.status, text };
      console.info(`Zifra Invaders: the replay for proof: ${response.status} ${text}`);
    } catch (error) {
      console.warn(`Zifra Invaders: the replay for proof was not sent: ${error}`);
    }
  }
}
