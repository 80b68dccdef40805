#!/usr/bin/python3
"""Runs README.md's ecrd examples as they are written, so that they cannot drift:
- the examples of "The API", in their order, in one shell, against ecrd with a
  register named sim: each answer is compared with the line under its command
  (`#  STATUS {...}`: the status, and an answer that holds what is given) and
  checked against the OpenAPI document's schema for it;
- every configuration shown in the ecrd sections, with ecrd --check-config;
- the "Many shops" script against two ecrd with a sim register each: once,
  then again with a shop that cannot be reached.
Usage: readme_examples.py ECRD README.md openapi.json"""
import json
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from ecrd_process import Ecrd  # noqa: E402
from openapi_contract import Contract  # noqa: E402

program, readme_path, openapi_path = sys.argv[1:4]
with open(readme_path, encoding="utf-8") as f:
    README = f.read().split("\n")
with open(openapi_path, encoding="utf-8") as f:
    CONTRACT = Contract(json.load(f))
faults = []
TOKEN = "readme-examples-token-0123456789abcdef"
SIM = {"id": "sim", "port": "sim"}


def section(heading):
    """The lines of README under heading, to the next heading of its level or above."""
    start = README.index(heading)
    level = heading.split()[0]
    for end in range(start + 1, len(README)):
        mark = README[end].split(" ")[0]
        if mark and set(mark) == {"#"} and len(mark) <= len(level):
            return README[start + 1:end]
    return README[start + 1:]


def blocks(lines):
    """The indented code blocks of lines, each without its indentation."""
    found, current = [], None
    for i, line in enumerate(lines):
        if line.startswith("    "):
            current = current if current is not None else []
            current.append(line[4:])
        elif line.strip() == "" and current is not None:
            following = next((later for later in lines[i + 1:] if later.strip()), "")
            if following.startswith("    "):
                current.append("")
            else:
                found.append(current)
                current = None
        elif current is not None:
            found.append(current)
            current = None
    if current is not None:
        found.append(current)
    return found


def holds(expected, actual):
    """Whether actual holds expected: an object's given members (each held), a
    list's first items (each held), any other value equal."""
    if isinstance(expected, dict):
        return isinstance(actual, dict) and all(k in actual and holds(v, actual[k]) for k, v in expected.items())
    if isinstance(expected, list):
        return isinstance(actual, list) and len(actual) >= len(expected) and all(
            holds(e, a) for e, a in zip(expected, actual))
    return expected == actual


MARKER = re.compile(r"^#  (\d{3})(?: (.*))?$")
MORE = re.compile(r"^#\s{4,}(\S.*)$")


def examples(lines):
    """[(the shell lines, status, what the answer holds)] in order; a marker
    checks the answer of the lines since the one before."""
    found, shell, marker = [], [], None
    for line in lines:
        if marker is not None and MORE.match(line):
            marker[1] += " " + MORE.match(line).group(1)
            continue
        if marker is not None:
            found.append((shell, int(marker[0]), marker[1].strip()))
            shell, marker = [], None
        match = MARKER.match(line)
        if match:
            marker = [match.group(1), match.group(2) or ""]
        else:
            shell.append(line)
    if marker is not None:
        found.append((shell, int(marker[0]), marker[1].strip()))
    elif any(line.strip() and not line.startswith("#") for line in shell):
        faults.append("README: commands after the last answer line, which nothing checks: " + " ".join(shell))
    return found


class Shell:
    """A folder with curl first on PATH: the real one, which also notes each
    answer's status, method, type and address and keeps its body."""

    def __init__(self, folder):
        self.folder = folder
        self.answers = os.path.join(folder, "answers")
        os.makedirs(self.answers)
        wrapper = os.path.join(folder, "bin", "curl")
        os.makedirs(os.path.dirname(wrapper))
        with open(wrapper, "w", encoding="utf-8") as out:
            out.write(f"""#!/bin/bash
n=$(( $(cat "$ANSWERS/count" 2>/dev/null || echo 0) + 1 ))
echo "$n" >"$ANSWERS/count"
{shutil.which("curl")} --write-out "%{{stderr}}@answer ${{README_EXAMPLE:-0}} $n %{{http_code}} %{{method}} %{{url_effective}} %{{content_type}}\\n" "$@" | tee "$ANSWERS/$n"
exit "${{PIPESTATUS[0]}}"
""")
        os.chmod(wrapper, 0o755)
        self.env = dict(os.environ, PATH=os.path.dirname(wrapper) + ":" + os.environ["PATH"], ANSWERS=self.answers)

    def run(self, script, env=None, args=()):
        """(exit status, standard output, the answers: [(example, status, method, type, url, body)])."""
        for name in os.listdir(self.answers):
            os.remove(os.path.join(self.answers, name))
        done = subprocess.run(["bash", "-c", script, "readme"] + list(args), cwd=self.folder, text=True,
                              capture_output=True, timeout=300, env=dict(self.env, **(env or {})))
        answers = []
        for line in done.stderr.splitlines():
            if line.startswith("@answer "):
                _, example, n, status, method, url, ctype = (line.split(" ", 6) + [""])[:7]
                with open(os.path.join(self.answers, n), encoding="utf-8", errors="replace") as body:
                    answers.append((int(example), int(status), method, ctype.split(";")[0], url, body.read()))
        errors = [line for line in done.stderr.splitlines() if not line.startswith("@answer ")]
        return done.returncode, done.stdout, answers, errors


def check_schema(where, status, method, ctype, url, body):
    """The answer against the OpenAPI document's schema for it."""
    path = re.sub(r"^https?://[^/]+", "", url).split("?")[0]
    template, operation = CONTRACT.find_operation(method, path)
    if operation is None:
        return faults.append(f"{where}: {method} {path} is in no path of the OpenAPI document")
    schema = CONTRACT.answer_schema(operation, status, ctype)
    if schema is None:
        return faults.append(f"{where}: the OpenAPI document has no {status} {ctype} answer of {method} {template}")
    try:
        value = json.loads(body) if ctype.endswith("json") else body
    except ValueError as error:
        return faults.append(f"{where}: the answer is not JSON ({error}): {body[:200]}")
    faults.extend(f"{where}: the answer does not fit the OpenAPI document: {e}" for e in CONTRACT.errors(schema, value))


def run_api_examples(shell, ecrd):
    lines = [line for block in blocks(section("### The API")) for line in block]
    found = examples(lines)
    if len(found) < 10:
        faults.append(f"README: only {len(found)} examples in \"The API\"")
    script = []
    for i, (commands, _, _) in enumerate(found, 1):
        script += [f"export README_EXAMPLE={i}"] + commands + [f"printf '\\n@@example {i}@@\\n'"]
    code, out, answers, errors = shell.run("\n".join(script), env={"ECRD": ecrd.address})
    outputs = re.split(r"\n?@@example \d+@@\n", out)
    for i, (commands, status, expected) in enumerate(found, 1):
        where = f"README example {i} ({next((c for c in commands if 'curl' in c), commands[-1]).strip()})"
        mine = [a for a in answers if a[0] == i]
        if len(mine) != 1:
            faults.append(f"{where}: {len(mine)} requests answered; an example is one request and its answer line")
            continue
        if mine[-1][1] != status:
            faults.append(f"{where}: answered {mine[-1][1]}, README says {status}: {mine[-1][5][:300]}")
        output = outputs[i - 1].strip() if i - 1 < len(outputs) else ""
        try:
            wanted = json.loads(expected)
        except ValueError:
            if expected not in output:
                faults.append(f"{where}: the output does not hold {expected!r}: {output[:300]!r}")
        else:
            try:
                if not holds(wanted, json.loads(output)):
                    faults.append(f"{where}: the answer does not hold {expected}: {output[:600]}")
            except ValueError:
                faults.append(f"{where}: the output is not JSON: {output[:300]!r}")
        for _, answered, method, ctype, url, body in mine:
            check_schema(where, answered, method, ctype, url, body)
    if code != 0 or errors:
        faults.append(f"README examples: the shell ended with {code}: {' / '.join(errors)[:600]}")
    print(f"readme_examples: {len(found)} examples of \"The API\" run, {len(answers)} answers checked")


def check_configurations(folder):
    """Every configuration the ecrd sections show is one ecrd takes."""
    credentials = os.path.join(folder, "credentials")
    os.makedirs(credentials)
    for name in ("token", "tls-cert", "tls-key"):
        path = os.path.join(credentials, name)
        with open(path, "w", encoding="utf-8") as out:
            out.write(TOKEN + "\n")
        os.chmod(path, stat.S_IRUSR | stat.S_IWUSR)
    shown = [block for heading in ("### Configuration", "### Many shops") for block in blocks(section(heading))
             if block[0].startswith("{") and '"registers"' in "\n".join(block)]
    for n, block in enumerate(shown, 1):
        path = os.path.join(folder, f"shown-{n}.json")
        with open(path, "w", encoding="utf-8") as out:
            out.write("\n".join(block))
        done = subprocess.run([program, "--check-config", path], capture_output=True, text=True,
                              env=dict(os.environ, CREDENTIALS_DIRECTORY=credentials))
        if done.returncode != 0:
            faults.append(f"README: a configuration ecrd refuses: {done.stdout}{done.stderr}")
    if len(shown) < 2:
        faults.append(f"README: {len(shown)} configurations found in the ecrd sections, 2 expected")


def run_shops_script(shell, folder):
    script = [block for block in blocks(section("### Many shops")) if block[0] == "#!/usr/bin/env bash"]
    if len(script) != 1:
        return faults.append("README: no script in \"Many shops\"")
    prices = os.path.join(folder, "cenovnik.json")
    articles = [{"name": "Sok", "price": "12.50", "taxRate": 1, "unit": 0},
                {"name": "Hleb", "price": "45.50", "taxRate": 0, "unit": 0}]
    with open(prices, "w", encoding="utf-8") as out:
        json.dump({"articles": articles}, out)
    shops_file = os.path.join(folder, "prodavnice.txt")
    with Ecrd(program, os.path.join(folder, "shop1"), {"token": TOKEN, "registers": [SIM]}) as one, \
            Ecrd(program, os.path.join(folder, "shop2"), {"token": TOKEN, "registers": [SIM]}) as two:
        shops = [f"{one.address} sim", f"{two.address} sim"]
        for unreachable in ([], ["http://127.0.0.1:1 sim"]):
            with open(shops_file, "w", encoding="utf-8") as out:
                out.write("\n".join(shops + unreachable) + "\n")
            code, out, answers, errors = shell.run("\n".join(script[0]), env={"ECRD_TOKEN": TOKEN},
                                                   args=[prices, shops_file])
            said = out.splitlines()
            taken = [f"{shop}: 2 articles taken" for shop in shops]
            lost = ["http://127.0.0.1:1 sim: not taken: no answer"] if unreachable else []
            if said != taken + lost or code != (1 if unreachable else 0):
                faults.append(f"push-prices: exit {code}, said {said}, not {taken + lost}; {errors}")
            for _, status, method, ctype, url, body in answers:
                if status != 0:  # 0: no answer at all (the shop that cannot be reached)
                    check_schema("push-prices", status, method, ctype, url, body)
        for ecrd in (one, two):
            status, read = ecrd.call("GET", "/registers/sim/articles", token=TOKEN)
            names = sorted(a["name"] for a in read.get("result", {}).get("articles", []))
            if status != 200 or names != ["Hleb", "Sok"]:
                faults.append(f"push-prices: {ecrd.address} holds {names} ({status})")
            # The second run answered the first run's job: it sent nothing again.
            status, jobs = ecrd.call("GET", "/jobs?register=sim", token=TOKEN)
            imports = [(j["kind"], j["attempts"]) for j in jobs.get("jobs", []) if j["kind"] == "importArticles"]
            if imports != [("importArticles", 1)]:
                faults.append(f"push-prices: {ecrd.address} ran {imports}, one import expected")
    print("readme_examples: the \"Many shops\" script run twice against two ecrd")


with tempfile.TemporaryDirectory(prefix="readme-examples-") as folder:
    shell = Shell(folder)
    check_configurations(folder)
    with Ecrd(program, os.path.join(folder, "api"), {"registers": [SIM]}) as ecrd:
        run_api_examples(shell, ecrd)
    run_shops_script(shell, folder)
for fault in faults:
    print("readme_examples: " + fault)
sys.exit(1 if faults else 0)
