// The session logs by day, each to download.
import {request} from './api.js';
import {byId, el, say} from './dom.js';
import {size} from './texts.js';

export class Logs {
  constructor() {
    this.rows = byId('logs-rows');
    this.message = byId('logs-message');
    byId('logs-refresh').addEventListener('click', () => this.load());
  }

  async load() {
    const answer = await request('GET', '/logs');
    if (answer.status !== 200) {
      say(this.message, `Spisak dnevnika se ne moze procitati: ${answer.problem ? answer.problem.detail : answer.status}`, 'bad');
      return;
    }
    const logs = answer.data.logs;
    this.rows.replaceChildren(...logs.map((log) => el('tr', {'data-file': log.file},
      el('td', {}, log.date), el('td', {}, log.register), el('td', {class: 'number'}, size(log.size)),
      el('td', {}, el('button', {type: 'button', 'aria-label': `Preuzmi ${log.file}`, onclick: () => this.download(log.file)}, 'Preuzmi')))));
    say(this.message, logs.length ? '' : answer.data.sessionLogs ? 'Jos nema dnevnika.' : 'Servis ne pise dnevnike sesije (sessionLogs).');
  }

  // Read with the token, then handed to the browser as a file.
  async download(file) {
    say(this.message, `Preuzimam ${file}...`);
    const answer = await request('GET', `/logs/${encodeURIComponent(file)}`);
    if (answer.status !== 200) {
      say(this.message, `${file} se ne moze preuzeti: ${answer.problem ? answer.problem.detail : answer.status}`, 'bad');
      return;
    }
    const url = URL.createObjectURL(new Blob([answer.data], {type: 'text/plain;charset=utf-8'}));
    const link = el('a', {href: url, download: file});
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
    say(this.message, `${file} preuzet.`, 'good');
  }
}
