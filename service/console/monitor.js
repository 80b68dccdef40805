// "Monitor konekcije": the watched register's line, decoded as the desktop
// program's "Dekodirano" box shows it; the newest 500 entries, with pause
// (entries that come meanwhile are held and shown on resuming, within the
// same 500) and clear.
import {byId, el, fillRegisters} from './dom.js';
import {clockTime} from './texts.js';

const MOST_LINES = 500;

export class Monitor {
  // watch(id) opens the event stream carrying that register's traffic.
  constructor(watch) {
    this.watch = watch;
    this.select = byId('monitor-register');
    this.list = byId('monitor-lines');
    this.pauseButton = byId('monitor-pause');
    this.heldNote = byId('monitor-held');
    this.paused = false;
    this.held = [];
    this.select.addEventListener('change', () => {
      this.clear();
      this.watch(this.select.value);
    });
    this.pauseButton.addEventListener('click', () => this.setPaused(!this.paused));
    byId('monitor-clear').addEventListener('click', () => this.clear());
  }

  registers(ids) {
    fillRegisters(this.select, ids);
  }

  // A traffic event: register, at, direction, line.
  traffic(entry) {
    if (entry.register !== this.select.value) return;
    if (this.paused) {
      this.held.push(entry);
      if (this.held.length > MOST_LINES) this.held.shift();
      this.heldNote.textContent = `Zadrzano: ${this.held.length}`;
      return;
    }
    this.show([entry]);
  }

  show(entries) {
    const atBottom = this.list.scrollHeight - this.list.scrollTop - this.list.clientHeight < 8;
    const kind = (direction) => (direction === 'PC -> ECR' ? 'to' : direction === 'ECR -> PC' ? 'from' : 'note');
    this.list.append(...entries.map((entry) =>
      el('li', {class: kind(entry.direction)},
        el('span', {class: 'at'}, clockTime(entry.at, true)), '  ',
        el('span', {class: 'direction'}, entry.direction.padEnd(9)), '  ', entry.line)));
    while (this.list.childElementCount > MOST_LINES) this.list.firstElementChild.remove();
    if (atBottom) this.list.scrollTop = this.list.scrollHeight;
  }

  setPaused(paused) {
    this.paused = paused;
    this.pauseButton.setAttribute('aria-pressed', String(paused));
    this.pauseButton.textContent = paused ? 'Nastavi' : 'Pauza';
    if (!paused) {
      const held = this.held;
      this.held = [];
      this.heldNote.textContent = '';
      this.show(held);
    }
  }

  clear() {
    this.list.replaceChildren();
    this.held = [];
    this.heldNote.textContent = '';
  }
}
