// The newest jobs, filtered by register and state, kept current by the job
// events; each opens to its request, result or problem and, for a settled
// receipt, what the settlement saw.
import {request} from './api.js';
import {byId, el, fillRegisters, say} from './dom.js';
import {KIND, OUTCOME, RECEIPT_FATE, STATE, dateTime, problemText, word} from './texts.js';

const ORDER = {queued: 0, running: 1, done: 2, failed: 2, unknown: 2};
const MOST_ROWS = 300;

export class Jobs {
  constructor() {
    this.form = byId('job-filter');
    this.register = byId('job-register');
    this.state = byId('job-state');
    this.rows = byId('job-rows');
    this.message = byId('job-message');
    this.more = byId('job-more');
    this.jobs = new Map();  // id -> {job, row, detail}
    this.next = null;
    this.loading = null;  // events held while a page loads
    this.form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.load();
    });
    this.register.addEventListener('change', () => this.load());
    this.state.addEventListener('change', () => this.load());
    this.more.addEventListener('click', () => this.load(this.next));
  }

  registers(ids) {
    fillRegisters(this.register, ids, 'sve');
  }

  // The first page of the filter, or the page at `next`.
  async load(next = null) {
    const query = new URLSearchParams({limit: '50'});
    if (this.register.value) query.set('register', this.register.value);
    if (this.state.value) query.set('state', this.state.value);
    this.loading = this.loading || [];
    const answer = await request('GET', next || `/jobs?${query}`);
    const held = this.loading;
    this.loading = null;
    if (answer.status !== 200) {
      say(this.message, `Poslovi se ne mogu procitati: ${problemText(answer.problem)}`, 'bad');
      return;
    }
    if (!next) {
      this.jobs.clear();
      this.rows.replaceChildren();
    }
    for (const job of answer.data.jobs) this.put(job, false);
    this.next = answer.data.next;
    this.more.hidden = !this.next;
    say(this.message, this.jobs.size ? '' : 'Nema poslova za ovaj izbor.');
    for (const change of held) this.changed(change);
  }

  matches(job) {
    return (!this.register.value || job.register === this.register.value) && (!this.state.value || job.state === this.state.value);
  }

  // A job event: id, register, kind, state, outcome, key (when queued), at.
  changed(change) {
    if (this.loading) {
      this.loading.push(change);
      return;
    }
    const known = this.jobs.get(change.id);
    if (known) {
      // An event never takes a job back to an earlier state.
      if (ORDER[change.state] < ORDER[known.job.state]) return;
      const job = {...known.job, state: change.state};
      if (change.outcome) job.outcome = change.outcome;
      if (change.state === 'running') job.startedAt = change.at;
      if (ORDER[change.state] === 2) job.finishedAt = change.at;
      this.put(job, false);
      if (known.detail && ORDER[change.state] === 2) this.openDetail(change.id);
      return;
    }
    const job = {id: change.id, register: change.register, kind: change.kind, state: change.state, createdAt: change.at};
    if (change.outcome) job.outcome = change.outcome;
    if (change.key) job.key = change.key;
    if (this.matches(job)) {
      this.put(job, true);
      say(this.message, '');
    }
  }

  put(job, newest) {
    const known = this.jobs.get(job.id);
    const detailId = `job-${job.id}-detail`;
    const toggle = el('button', {type: 'button', 'aria-expanded': known && known.detail ? 'true' : 'false', 'aria-controls': detailId,
      'aria-label': `Detalji posla ${job.id.slice(0, 8)}`, onclick: () => this.toggle(job.id)}, 'Detalji');
    const row = el('tr', {'data-job': job.id, 'data-state': job.state},
      el('td', {}, dateTime(job.createdAt)),
      el('td', {}, job.register),
      el('td', {}, word(KIND, job.kind)),
      el('td', {class: `state-${job.state}`}, word(STATE, job.state)),
      el('td', {}, job.outcome ? word(OUTCOME, job.outcome) : ''),
      el('td', {class: 'key'}, job.key || ''),
      el('td', {}, toggle));
    if (known) {
      known.row.replaceWith(row);
      known.row = row;
      known.job = job;
      return;
    }
    const entry = {job, row, detail: null};
    this.jobs.set(job.id, entry);
    if (newest) this.rows.prepend(row);
    else this.rows.append(row);
    while (this.jobs.size > MOST_ROWS) {
      const last = this.rows.lastElementChild;
      const id = last.dataset.job || last.previousElementSibling.dataset.job;
      this.close(id);
      this.jobs.get(id).row.remove();
      this.jobs.delete(id);
      this.more.hidden = !this.next;
    }
  }

  toggle(id) {
    const entry = this.jobs.get(id);
    if (entry.detail) this.close(id);
    else this.openDetail(id);
  }

  close(id) {
    const entry = this.jobs.get(id);
    if (!entry || !entry.detail) return;
    entry.detail.remove();
    entry.detail = null;
    entry.row.querySelector('button').setAttribute('aria-expanded', 'false');
  }

  async openDetail(id) {
    const entry = this.jobs.get(id);
    const answer = await request('GET', `/jobs/${id}`);
    const current = this.jobs.get(id);
    if (!current) return;
    const body = answer.status === 200 ? Jobs.describe(answer.data) : el('p', {}, problemText(answer.problem));
    const detail = el('tr', {class: 'detail', id: `job-${id}-detail`}, el('td', {colspan: '7', class: 'job-detail'}, body));
    if (current.detail) current.detail.replaceWith(detail);
    else current.row.after(detail);
    current.detail = detail;
    current.row.querySelector('button').setAttribute('aria-expanded', 'true');
    if (answer.status === 200 && entry) this.put({...current.job, ...answer.data}, false);
    if (current.detail) current.row.after(current.detail);
  }

  // What a job document says, item by item.
  static describe(job) {
    const items = [];
    const item = (label, value) => {
      if (value === undefined || value === null || value === '') return;
      const shown = typeof value === 'object' ? el('pre', {}, JSON.stringify(value, null, 2)) : String(value);
      items.push(el('dt', {}, label), el('dd', {}, shown));
    };
    item('Posao', job.id);
    item('Kljuc', job.key);
    item('Primljen', dateTime(job.createdAt));
    item('Pocet', job.startedAt && dateTime(job.startedAt));
    item('Zavrsen', job.finishedAt && dateTime(job.finishedAt));
    item('Pokusaja', job.attempts > 1 ? job.attempts : null);
    item('Zahtev', job.request && Object.keys(job.request).length ? job.request : null);
    item('Napredak', job.progress);
    item('Rezultat', job.result);
    item('Greska', job.problem && problemText(job.problem));
    item('Sudbina racuna', job.receipt && word(RECEIPT_FATE, job.receipt));
    item('Otvoren racun prekinut pre ovog', job.cancelledOpenReceipt ? 'da' : null);
    item('Razreseno', job.settled);
    item('Kasa je pokazala', job.seen);
    item('Raniji pokusaji', job.earlierAttempts);
    return el('dl', {}, items);
  }
}
