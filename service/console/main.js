// The console: the registers of ecrd and what they do, live, from one
// event stream. Plain modules, nothing fetched from elsewhere.
import {request} from './api.js';
import {byId, say} from './dom.js';
import {EventStream} from './events.js';
import {Jobs} from './jobs.js';
import {Logs} from './logs.js';
import {Monitor} from './monitor.js';
import {Registers} from './registers.js';
import {Settings} from './settings.js';

const jobs = new Jobs();
const logs = new Logs();
const settings = new Settings();
let stream = null;
const monitor = new Monitor((id) => stream.watchRegister(id));

const registers = new Registers((ids) => {
  jobs.registers(ids);
  settings.registers(ids);
  monitor.registers(ids);
});

stream = new EventStream({
  register: (status) => registers.update(status),
  job: (change) => jobs.changed(change),
  traffic: (entry) => monitor.traffic(entry),
  // Events were lost: what the jobs show is read again.
  lost: () => jobs.load(),
}, (live, text) => {
  const state = byId('service-state');
  say(state, text);
  state.classList.toggle('live', live);
  state.classList.toggle('down', !live);
  // (Re)connected: the list is read from now on, the events keep it current.
  if (live) jobs.load();
});

// The views, as tabs: click, or the arrow keys among them.
const tabs = [...document.querySelectorAll('[role="tab"]')];
function showView(tab) {
  for (const other of tabs) {
    const selected = other === tab;
    other.setAttribute('aria-selected', String(selected));
    other.tabIndex = selected ? 0 : -1;
    byId(other.getAttribute('aria-controls')).hidden = !selected;
  }
  if (tab.id === 'tab-logs') logs.load();
  history.replaceState(null, '', `#${tab.id.slice(4)}`);
}
tabs.forEach((tab, i) => {
  tab.addEventListener('click', () => showView(tab));
  tab.addEventListener('keydown', (event) => {
    const step = {ArrowRight: 1, ArrowLeft: -1}[event.key];
    if (!step) return;
    const next = tabs[(i + step + tabs.length) % tabs.length];
    next.focus();
    showView(next);
  });
});
const first = tabs.find((tab) => `#${tab.id.slice(4)}` === location.hash);
if (first) showView(first);

// The registers first (and the token, when the service asks for one), then
// the stream that carries the monitor's register.
async function start() {
  const answer = await request('GET', '/registers');
  if (answer.status !== 200) {
    const state = byId('service-state');
    say(state, `Servis ne odgovara (${answer.problem ? answer.problem.detail || answer.problem.title : answer.status}); novi pokusaj za 3 s.`);
    state.classList.add('down');
    setTimeout(start, 3000);
    return;
  }
  for (const status of answer.data.registers) registers.update(status);
  // The page is usable from here: the figure the browser tests read.
  performance.mark('console-usable');
  stream.watchRegister(monitor.select.value);
  setInterval(() => registers.tick(), 1000);
}
start();
