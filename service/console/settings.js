// The fiscal header and the tax rates as the register has them, read on
// request (each is a job on the register's line), shown read-only.
import {runJob} from './api.js';
import {byId, el, fillRegisters, say} from './dom.js';
import {RATES, problemText} from './texts.js';

export class Settings {
  constructor() {
    this.select = byId('settings-register');
    this.message = byId('settings-message');
    this.button = byId('settings-read');
    this.button.addEventListener('click', () => this.read());
    this.select.addEventListener('change', () => {
      byId('header-rows').replaceChildren();
      byId('rate-rows').replaceChildren();
      say(this.message, '');
    });
  }

  registers(ids) {
    fillRegisters(this.select, ids);
  }

  async read() {
    const id = this.select.value;
    if (!id) return;
    this.button.disabled = true;
    say(this.message, `Citam zaglavlje i poreske stope kase ${id}...`);
    try {
      const header = await runJob('GET', `/registers/${id}/header`);
      const rates = await runJob('GET', `/registers/${id}/tax-rates`);
      const failed = [header, rates].filter((done) => done.problem);
      if (!header.problem) {
        byId('header-rows').replaceChildren(...header.job.result.lines.map((line, i) =>
          el('tr', {}, el('td', {}, String(i + 1)), el('td', {class: 'key'}, line.text), el('td', {}, line.double ? 'da' : 'ne'))));
      }
      if (!rates.problem) {
        const r = rates.job.result.taxRates;
        byId('rate-rows').replaceChildren(...RATES.map((name) =>
          el('tr', {}, el('td', {}, name), el('td', {class: 'number'}, `${r[name]} %`))));
      }
      if (failed.length) say(this.message, `Citanje nije uspelo: ${failed.map((done) => problemText(done.problem)).join('; ')}`, 'bad');
      else say(this.message, `Procitano sa kase ${id}.`, 'good');
    } finally {
      this.button.disabled = false;
    }
  }
}
