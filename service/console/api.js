// ecrd's API as the console calls it: same-origin JSON requests, the token
// (when the service asks for one) kept for this tab only, a fresh
// Idempotency-Key for every action, and a job waited for until it ends.
import {askToken} from './dialogs.js';

const TOKEN = 'thermal-ecrd-token';
let token = sessionStorage.getItem(TOKEN) || '';
let refused = false;

export function authorization() {
  return token ? {Authorization: `Bearer ${token}`} : {};
}

// Called when the service answered 401: asks the user once for a token.
// True when there is a new one to try.
export async function renewToken() {
  const given = await askToken(token ? 'Token nije prihvacen.' : '');
  if (!given) {
    refused = true;
    return false;
  }
  token = given;
  refused = false;
  sessionStorage.setItem(TOKEN, token);
  return true;
}

export function tokenRefused() {
  return refused;
}

// A new Idempotency-Key: 128 random bits (crypto.randomUUID needs a secure
// context, which plain HTTP off loopback is not).
export function newKey() {
  const bytes = crypto.getRandomValues(new Uint8Array(16));
  return 'konzola-' + Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
}

// {status, data, problem}: data is the parsed JSON (or text), problem the
// problem document of a refusal; status 0 when the service was not reached.
export async function request(method, path, body, key) {
  for (let attempt = 0; ; ++attempt) {
    const headers = {Accept: 'application/json', ...authorization()};
    if (body !== undefined) headers['Content-Type'] = 'application/json';
    if (key) headers['Idempotency-Key'] = key;
    let response;
    try {
      response = await fetch(path, {
        method, headers, cache: 'no-store', credentials: 'same-origin', redirect: 'error',
        body: body === undefined ? undefined : JSON.stringify(body),
      });
    } catch (failure) {
      // With its key, the same request may be sent again: it is never carried out twice.
      if (key && attempt < 2) {
        await new Promise((resolve) => setTimeout(resolve, 1000));
        continue;
      }
      return {status: 0, data: null, problem: {title: 'Servis ne odgovara', detail: String(failure.message || failure)}};
    }
    if (response.status === 401 && attempt < 3 && (await renewToken())) continue;
    const type = response.headers.get('Content-Type') || '';
    const data = type.includes('json') ? await response.json().catch(() => null) : await response.text();
    const problem = type.includes('problem+json') ? data : null;
    return {status: response.status, data, problem, response};
  }
}

function finished(job) {
  return job && job.state !== 'queued' && job.state !== 'running';
}

// Makes a job (POST or PUT with a fresh key, or GET) and waits for its end.
// {job, problem}: the job document when there is one, and the problem of
// a job that failed or of a request that made none.
export async function runJob(method, path, body) {
  const key = method === 'GET' ? undefined : newKey();
  let answer = await request(method, `${path}?wait=60000`, body, key);
  let job = answer.problem ? null : answer.data;
  const id = job ? job.id : answer.problem && answer.problem.job;
  while (answer.status === 202 || (job && !finished(job))) {
    answer = await request('GET', `/jobs/${id}?wait=60000`);
    if (answer.status !== 200) break;
    job = answer.data;
  }
  if (answer.problem) return {job, problem: answer.problem};
  return {job, problem: job ? job.problem || null : {title: `HTTP ${answer.status}`}};
}
