// The console's words, in Serbian (Latin) as the desktop program writes
// them, and the names of what the service sends.

export const KIND = {
  receipt: 'Racun',
  dailyReport: 'Dnevni Izvestaj',
  periodicReport: 'Periodicni Izvestaj',
  snapshotReport: 'Presek stanja',
  readClock: 'Citanje sata',
  setClock: 'Podesavanje sata',
  readHeader: 'Citanje zaglavlja',
  setHeader: 'Upis zaglavlja',
  readArticles: 'Citanje artikala',
  importArticles: 'Upis artikala',
  raw: 'Komanda',
  readTotalizers: 'Citanje Totalajzera',
  readTaxRates: 'Citanje poreskih stopa',
  cancelReceipt: 'Prekini Transakciju',
  showDisplay: 'Displej',
  clearDisplay: 'Brisanje displeja',
  infoPrint: 'Info Print',
};

export const STATE = {
  queued: 'u redu',
  running: 'radi',
  done: 'zavrsen',
  failed: 'neuspesan',
  unknown: 'ishod nepoznat',
};

export const OUTCOME = {
  printed: 'odstampano',
  'not printed': 'nije odstampano',
  unknown: 'nepoznato',
};

export const RECEIPT_FATE = {
  cancelled: 'racun prekinut',
  'left open': 'racun ostao otvoren',
  'none open': 'nijedan racun nije otvoren',
};

export const LINK = {
  open: 'otvorena',
  down: 'prekinuta',
  opening: 'otvara se',
};

export const REGISTER_SAYS = {
  ready: 'spremna',
  busy: 'zauzeta',
  unknown: 'nepoznato',
};

export const RECEIPT = {
  open: 'otvoren',
  closed: 'nije otvoren',
  unknown: 'nepoznato',
};

// The tax rates in the register's order.
export const RATES = ['A', 'G', 'D', 'Dj', 'E', 'Z', 'I', 'J', 'K'];

export function word(table, name) {
  return name in table ? table[name] : String(name);
}

function two(n) {
  return String(n).padStart(2, '0');
}

// "09:41:07" in the PC's local time, from the service's ISO time.
export function clockTime(iso, withMs = false) {
  const t = new Date(iso);
  if (Number.isNaN(t.getTime())) return '';
  const text = `${two(t.getHours())}:${two(t.getMinutes())}:${two(t.getSeconds())}`;
  return withMs ? `${text}.${String(t.getMilliseconds()).padStart(3, '0')}` : text;
}

// "15.03.2026. 09:41:07", the day left out when it is today.
export function dateTime(iso) {
  const t = new Date(iso);
  if (Number.isNaN(t.getTime())) return '';
  const now = new Date();
  const day = `${two(t.getDate())}.${two(t.getMonth() + 1)}.${t.getFullYear()}.`;
  const sameDay = t.getDate() === now.getDate() && t.getMonth() === now.getMonth() && t.getFullYear() === now.getFullYear();
  return sameDay ? clockTime(iso) : `${day} ${clockTime(iso)}`;
}

// "pre 5 s", "pre 3 min".
export function age(ms) {
  if (ms < 1000) return 'upravo';
  const s = Math.round(ms / 1000);
  if (s < 120) return `pre ${s} s`;
  const m = Math.round(s / 60);
  if (m < 120) return `pre ${m} min`;
  return `pre ${Math.round(m / 60)} h`;
}

export function size(bytes) {
  if (bytes < 1024) return `${bytes} B`;
  if (bytes < 1024 * 1024) return `${(bytes / 1024).toFixed(1)} KiB`;
  return `${(bytes / 1024 / 1024).toFixed(1)} MiB`;
}

// A problem the service gave, in one line: the register's own message first.
export function problemText(problem) {
  if (!problem) return '';
  const parts = [];
  if (problem.registerMessage) parts.push(`kasa kaze: ${problem.registerCode} ${problem.registerMessage}`);
  if (problem.detail) parts.push(problem.detail);
  else if (problem.title) parts.push(problem.title);
  return parts.join('; ');
}
