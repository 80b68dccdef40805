"""ecrd run for a test written in Python: started on a free port of
loopback with its state in a folder of its own, asked over HTTP, stopped
with SIGTERM as systemd stops it (or as the test asks)."""
import json
import os
import signal
import subprocess
import time
import urllib.error
import urllib.request


class Ecrd:
    def __init__(self, program, folder, config, launcher=(), path=str):
        """config: the configuration without listen and stateDirectory,
        which are the test's: any free port of loopback, and folder.
        launcher: what runs the program (wine, for ecrd.exe); path: a path
        as the program reads it (Z:/... under Wine)."""
        os.makedirs(folder, exist_ok=True)
        self.folder = folder
        config_path = os.path.join(folder, "ecrd.json")
        with open(config_path, "w", encoding="utf-8") as out:
            json.dump(dict(config, listen="127.0.0.1:0", stateDirectory=path(folder)), out)
        self.command = [*launcher, program, "--config", path(config_path)]
        # What it says goes to a file: a pipe nobody read would stop it once full.
        self.log = os.path.join(folder, "ecrd.out")
        with open(self.log, "w", encoding="utf-8") as log:
            self.process = subprocess.Popen(self.command, stdout=log, stderr=subprocess.STDOUT)
        self.address = "http://" + self._listening()

    def _listening(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            with open(self.log, encoding="utf-8", errors="replace") as log:
                for line in log:
                    if line.startswith("ecrd: listening on "):
                        return line.split()[-1]
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        self.stop()
        raise RuntimeError(f"ecrd did not start: {self.said()}")

    def said(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return log.read()

    def call(self, method, path, body=None, token=None, headers=None):
        """(status, the answer's JSON) of one request."""
        request = urllib.request.Request(self.address + path, method=method, headers=headers or {},
                                         data=None if body is None else json.dumps(body).encode())
        if body is not None:
            request.add_header("Content-Type", "application/json")
        if token:
            request.add_header("Authorization", "Bearer " + token)
        try:
            with urllib.request.urlopen(request, timeout=30) as answer:
                return answer.status, json.load(answer)
        except urllib.error.HTTPError as answer:
            return answer.code, json.load(answer)

    def text(self, path, token=None):
        request = urllib.request.Request(self.address + path)
        if token:
            request.add_header("Authorization", "Bearer " + token)
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.read().decode()

    def stop(self, how=signal.SIGTERM):
        """Its exit code once it has ended."""
        if self.process.poll() is None:
            self.process.send_signal(how)
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return self.process.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
