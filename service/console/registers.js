// The registers as their status events show them, each with its actions:
// "Presek stanja", "Dnevni Izvestaj" (confirmed first), the clock set to the
// PC's time, and "Prekini Transakciju" (confirmed first).
import {request, runJob} from './api.js';
import {confirmAction} from './dialogs.js';
import {byId, el, say} from './dom.js';
import {LINK, RECEIPT, REGISTER_SAYS, KIND, age, clockTime, dateTime, problemText, word} from './texts.js';

export class Registers {
  constructor(onList) {
    this.list = byId('register-list');
    this.onList = onList;
    this.cards = new Map();  // id -> {card, fields, outcome, buttons, status}
  }

  ids() {
    return [...this.cards.keys()];
  }

  // A register event: the register's status as GET /registers/{id}/status gives it.
  update(status) {
    let entry = this.cards.get(status.id);
    if (!entry) {
      entry = this.make(status.id);
      this.cards.set(status.id, entry);
      if (this.cards.size === 1) this.list.replaceChildren();
      this.list.append(entry.card);
      this.onList(this.ids());
    }
    entry.status = status;
    entry.receivedAt = Date.now();
    this.show(entry);
  }

  // The ages in the cards move on between events.
  tick() {
    for (const entry of this.cards.values()) this.show(entry);
  }

  make(id) {
    const titleId = `register-${id}-title`;
    const fields = {};
    const row = (name, label) => {
      fields[name] = el('dd', {'data-field': name});
      return [el('dt', {}, label), fields[name]];
    };
    const outcome = el('p', {class: 'outcome', role: 'status', 'aria-live': 'polite', 'data-field': 'outcome'});
    const port = el('span', {class: 'port'});
    const action = (name, label, run, extra = {}) =>
      el('button', {type: 'button', 'data-action': name, onclick: () => this.act(id, label, run), ...extra}, label);
    const buttons = [
      action('snapshot', 'Presek stanja', () => this.snapshot(id)),
      action('daily', 'Dnevni Izvestaj', () => this.daily(id)),
      action('clock', 'Podesi sat kase', () => this.clock(id), {title: 'Upisuje vreme ovog racunara u sat kase'}),
      action('cancel', 'Prekini Transakciju', () => this.cancel(id), {class: 'danger'}),
      action('probe', 'Proveri kasu', () => this.probe(id), {title: 'Pita kasu za stanje kada nijedan posao ne radi'}),
    ];
    const card = el('article', {class: 'register', 'aria-labelledby': titleId, 'data-register': id},
      el('h3', {id: titleId}, id, port),
      el('dl', {}, row('link', 'Veza'), row('reason', 'Razlog'), row('says', 'Stanje kase'), row('problem', 'Poslednja greska kase'),
        row('receipt', 'Racun'), row('queue', 'Poslovi'), row('exchange', 'Poslednja razmena')),
      el('div', {class: 'actions', role: 'group', 'aria-label': `Radnje na kasi ${id}`}, buttons),
      outcome);
    return {card, fields, outcome, buttons, port};
  }

  show(entry) {
    const s = entry.status;
    const f = entry.fields;
    const since = Date.now() - entry.receivedAt;
    entry.port.textContent = s.port;
    f.link.textContent = `${word(LINK, s.link.state)}${s.link.since ? ` od ${dateTime(s.link.since)}` : ''}`;
    f.link.className = `state-${s.link.state}`;
    const down = s.link.state !== 'open' && s.link.error;
    f.reason.textContent = down ? `${s.link.error}; sledeci pokusaj u ${clockTime(s.link.nextAttempt)}` : '-';
    f.says.textContent = `${word(REGISTER_SAYS, s.register.state)}${s.register.stateAt ? ` (${clockTime(s.register.stateAt)})` : ''}`;
    const p = s.register.lastProblem;
    f.problem.textContent = p ? `${p.code} ${p.message} (${dateTime(p.at)})` : 'nema';
    f.receipt.textContent = word(RECEIPT, s.register.receipt);
    const running = s.runningJob ? `radi posao ${s.runningJob.slice(0, 8)}; ` : '';
    f.queue.textContent = `${running}u redu ${s.queued}${s.unsettled ? `; ceka razresenje ${s.unsettled}` : ''}`;
    f.exchange.textContent = s.register.lastExchange
      ? `${clockTime(s.register.lastExchange)} (${age((s.register.lastExchangeAgeMs || 0) + since)})` : '-';
  }

  // Runs an action with the card's buttons held, and says how it went.
  async act(id, label, run) {
    const entry = this.cards.get(id);
    entry.buttons.forEach((b) => (b.disabled = true));
    say(entry.outcome, `${label}: radi...`);
    try {
      const [text, tone] = await run();
      if (text) say(entry.outcome, text, tone);
      else say(entry.outcome, '');
    } catch (failure) {
      say(entry.outcome, `${label}: ${failure.message || failure}`, 'bad');
    } finally {
      entry.buttons.forEach((b) => (b.disabled = false));
    }
  }

  static ended(label, {job, problem}, good) {
    if (problem) return [`${label} nije uspeo: ${problemText(problem)}`, 'bad'];
    return [good(job), 'good'];
  }

  async snapshot(id) {
    const done = await runJob('POST', `/registers/${id}/reports/snapshot`);
    return Registers.ended(KIND.snapshotReport, done, () => `${KIND.snapshotReport}: odstampan.`);
  }

  async daily(id) {
    const yes = await confirmAction(KIND.dailyReport, `Odstampati dnevni izvestaj na kasi ${id}? Izvestaj zakljucuje fiskalni dan i ne moze se ponoviti.`, 'Stampaj izvestaj');
    if (!yes) return ['Dnevni Izvestaj nije trazen.', ''];
    const done = await runJob('POST', `/registers/${id}/reports/daily`);
    return Registers.ended(KIND.dailyReport, done, () => `${KIND.dailyReport}: odstampan.`);
  }

  async clock(id) {
    const done = await runJob('PUT', `/registers/${id}/clock`, {clock: 'now'});
    return Registers.ended('Podesavanje sata', done, (job) => {
      const r = job.result || {};
      return `Sat kase podesen na vreme racunara: pre ${r.before || '?'}, posle ${r.after || r.clock || '?'}.`;
    });
  }

  async cancel(id) {
    const yes = await confirmAction(KIND.cancelReceipt, `Prekinuti racun otvoren na kasi ${id}? Stavke tog racuna se brisu.`, 'Prekini racun');
    if (!yes) return ['Prekid nije trazen.', ''];
    const done = await runJob('POST', `/registers/${id}/receipt/cancel`);
    return Registers.ended(KIND.cancelReceipt, done, (job) =>
      job.result && job.result.wasOpen ? 'Otvoreni racun je prekinut.' : 'Nijedan racun nije otvoren; nista nije prekinuto.');
  }

  async probe(id) {
    const answer = await request('GET', `/registers/${id}/status?probe=true`);
    if (answer.problem || answer.status !== 200) return [`Provera nije uspela: ${problemText(answer.problem)}`, 'bad'];
    this.update(answer.data);
    return [`Kasa kaze: ${word(REGISTER_SAYS, answer.data.register.state)}.`, answer.data.link.state === 'open' ? 'good' : 'bad'];
  }
}
