// Elements made from data: text always as text, never as markup.

// el('td', {class: 'key'}, 'text', child...): attributes as given (a
// function for on* names becomes a listener, false/null leaves it out).
export function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === false || value === null || value === undefined) continue;
    if (name.startsWith('on') && typeof value === 'function') node.addEventListener(name.slice(2), value);
    else if (name === 'class') node.className = value;
    else node.setAttribute(name, value === true ? '' : String(value));
  }
  append(node, children);
  return node;
}

function append(node, children) {
  for (const child of children) {
    if (child === null || child === undefined || child === false) continue;
    if (Array.isArray(child)) append(node, child);
    else node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
}

export function byId(id) {
  return document.getElementById(id);
}

// A message line: text, and whether it is good news, bad news or neither.
export function say(node, text, tone = '') {
  node.textContent = text;
  node.classList.toggle('good', tone === 'good');
  node.classList.toggle('bad', tone === 'bad');
}

// Fills a <select> with the registers, keeping the choice when it is still there.
export function fillRegisters(select, ids, first = null) {
  const kept = select.value;
  select.replaceChildren(...(first ? [el('option', {value: ''}, first)] : []), ...ids.map((id) => el('option', {value: id}, id)));
  if (kept && ids.includes(kept)) select.value = kept;
}
