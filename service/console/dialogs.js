// The two questions the console asks: a confirmation before an action that
// prints or cancels, and the service's token. Each answers a promise; a
// closed dialog (Escape) is "no".
import {byId} from './dom.js';

function ask(dialog, focus) {
  return new Promise((resolve) => {
    const closed = () => {
      dialog.removeEventListener('close', closed);
      resolve(dialog.returnValue);
    };
    dialog.returnValue = '';
    dialog.addEventListener('close', closed);
    dialog.showModal();
    focus.focus();
  });
}

// True when the user confirms. The safe answer has the focus.
export async function confirmAction(title, text, yes) {
  byId('confirm-title').textContent = title;
  byId('confirm-text').textContent = text;
  byId('confirm-ok').textContent = yes;
  return (await ask(byId('confirm-dialog'), byId('confirm-cancel'))) === 'ok';
}

let pending = null;

// The token the user gives, or '' when they close the question. One
// question at a time, however many requests were refused meanwhile.
export function askToken(why) {
  if (!pending) {
    const input = byId('token-input');
    input.value = '';
    byId('token-text').textContent =
      (why ? `${why} ` : '') + 'Servis trazi token. Upisite ga; pamti se samo dok je ova kartica otvorena.';
    pending = ask(byId('token-dialog'), input).then((answer) => {
      pending = null;
      return answer === 'ok' ? input.value.trim() : '';
    });
  }
  return pending;
}
