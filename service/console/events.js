// The service's event stream (GET /events), read with fetch so that it can
// carry the token: each event is handed to the listener of its name. When
// the stream ends it is opened again after a pause that grows to 10 s, and
// starts again from every register's status.
import {authorization, renewToken, tokenRefused} from './api.js';

export class EventStream {
  // listeners: {register(data), job(data), traffic(data), lost(data)};
  // state(live, text) tells how the stream stands.
  constructor(listeners, state) {
    this.listeners = listeners;
    this.state = state;
    this.watch = '';
    this.abort = null;
    this.pause = 1000;
    this.timer = null;
  }

  // Opens the stream (again) carrying the traffic of this register ('' for none).
  watchRegister(id) {
    this.watch = id || '';
    this.open();
  }

  open() {
    clearTimeout(this.timer);
    if (this.abort) this.abort.abort();
    const abort = new AbortController();
    this.abort = abort;
    this.read(abort).catch(() => {}).finally(() => {
      if (abort.signal.aborted) return;
      this.state(false, `Veza sa servisom je prekinuta; novi pokusaj za ${Math.round(this.pause / 1000)} s.`);
      this.timer = setTimeout(() => this.open(), this.pause);
      this.pause = Math.min(this.pause * 2, 10000);
    });
  }

  async read(abort) {
    const path = '/events' + (this.watch ? `?watch=${encodeURIComponent(this.watch)}` : '');
    const response = await fetch(path, {headers: {Accept: 'text/event-stream', ...authorization()}, cache: 'no-store', signal: abort.signal});
    if (response.status === 401) {
      if (!tokenRefused() && (await renewToken())) {
        this.pause = 0;
        return;
      }
      this.state(false, 'Servis trazi token; osvezite stranu da ga upisete.');
      abort.abort();
      return;
    }
    if (!response.ok || !response.body) throw new Error(`HTTP ${response.status}`);
    this.state(true, 'Uzivo');
    this.pause = 1000;
    const reader = response.body.pipeThrough(new TextDecoderStream()).getReader();
    let text = '';
    for (;;) {
      const {value, done} = await reader.read();
      if (done) return;
      text += value;
      let end;
      while ((end = text.indexOf('\n\n')) >= 0) {
        this.dispatch(text.slice(0, end));
        text = text.slice(end + 2);
      }
    }
  }

  dispatch(block) {
    let name = 'message';
    let data = '';
    for (const line of block.split('\n')) {
      if (line.startsWith('event: ')) name = line.slice(7);
      else if (line.startsWith('data: ')) data += line.slice(6);
    }
    const listener = this.listeners[name];
    if (!data || !listener) return;
    try {
      listener(JSON.parse(data));
    } catch (failure) {
      console.warn('event', name, failure);
    }
  }
}
