#!/usr/bin/python3
"""ecrd's GET /metrics as Prometheus reads it: after jobs that ended every way
(done, refused, malformed, on a register that cannot be reached), the answer
passes `promtool check metrics` (the text format, and Prometheus' own rules
for names, types and help), and holds every family the example alert rules
(packaging/prometheus/ecrd-alerts.yml) ask for, so that none of them waits
for a figure that never comes; README's table of figures and the OpenAPI
document name exactly the families it gives.
Usage: metrics_check.py ECRD PROMTOOL ecrd-alerts.yml README.md openapi.json"""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ecrd_process import Ecrd  # noqa: E402

program, promtool, rules, readme, openapi = sys.argv[1:6]
SALE = {"lines": [{"name": "Sok", "price": "12.50", "quantity": 2, "taxRate": 1}]}
faults = []
with tempfile.TemporaryDirectory(prefix="metrics-check-") as folder:
    registers = [{"id": "sim", "port": "sim"}, {"id": "sim-2", "port": "sim"},
                 {"id": "gone", "port": "tcp://127.0.0.1:1", "pollLimits": {"replyTimeoutMs": 200}}]
    with Ecrd(program, folder, {"registers": registers, "reopenFirstMs": 60000}) as ecrd:
        for path, body, key in [("/registers/sim/receipts", SALE, "m-1"),
                                ("/registers/sim-2/reports/periodic", {"from": "2026-03-01", "to": "2026-03-31"}, "m-2"),
                                ("/registers/sim/receipts", {"lines": []}, "m-3"),
                                ("/registers/gone/receipts", SALE, "m-4")]:
            status, answer = ecrd.call("POST", path + "?wait=10000", body, headers={"Idempotency-Key": key})
            print(f"metrics_check: POST {path}: {status} {answer.get('state') or answer.get('code')}")
        figures = ecrd.text("/metrics")
check = subprocess.run([promtool, "check", "metrics"], input=figures, capture_output=True, text=True)
if check.returncode != 0 or check.stdout.strip() or check.stderr.strip():
    faults.append(f"promtool check metrics (exit {check.returncode}): {check.stdout}{check.stderr}")
families = set(re.findall(r"^# TYPE (\S+) ", figures, re.M))
with open(rules, encoding="utf-8") as f:
    asked = set(re.findall(r"\b(ecrd_[a-z_]+)", f.read()))
for name in sorted(asked - families):
    faults.append(f"{rules} asks for {name}, which /metrics does not give")
with open(readme, encoding="utf-8") as f:
    table = re.search(r"^\| metric \| what \|\n\|---\|---\|\n((?:\|.*\n)+)", f.read(), re.M)
listed = set(re.findall(r"`(ecrd_[a-z_]+)`", "".join(row.split("|")[1] for row in table.group(1).splitlines()))) \
    if table else set()
if listed != families:
    faults.append(f"README's table of figures lists {sorted(listed)}, /metrics gives {sorted(families)}")
with open(openapi, encoding="utf-8") as f:
    described = set(re.findall(r"`(ecrd_[a-z_]+)`", json.load(f)["paths"]["/metrics"]["get"]["description"]))
if described != families:
    faults.append(f"the OpenAPI document's /metrics names {sorted(described)}, /metrics gives {sorted(families)}")
for sample in ['ecrd_link_up{register="gone"} 0', 'ecrd_journal_writable 1',
               'ecrd_jobs_total{register="sim",kind="receipt",state="done",outcome="printed"} 1']:
    if sample + "\n" not in figures:
        faults.append(f"/metrics lacks {sample}")
for fault in faults:
    print("metrics_check: " + fault)
if faults:
    print(figures)
    sys.exit(1)
print(f"metrics_check: {len(families)} families pass promtool; the rules' {len(asked)} are among them")
