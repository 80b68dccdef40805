#pragma once

#include "support/ChildProcess.h"

#include <string>
#include <vector>

// A program run to its end (at most ten seconds): its exit code (-1 when it
// did not end by itself), its first output line and its errors.
struct ProgramRun {
    int code = -1;
    std::string line;
    std::string errors;

    static ProgramRun Of(const std::vector<std::string>& arguments)
    {
        ChildProcess child(arguments, ChildProcess::Options{});
        ProgramRun ran;
        ran.line = child.ReadLine(10000);
        if (!child.Wait(10000))
            child.Kill();
        ran.code = child.Exited() ? child.ExitCode() : -1;
        ran.errors = child.Errors();
        return ran;
    }

    // A self-signed certificate for localhost and 127.0.0.1 and its key,
    // made by the openssl command into the two files.
    static ProgramRun MakeCertificate(const std::string& certificate, const std::string& key)
    {
        return Of({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-days", "2", "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                   "-keyout", key, "-out", certificate});
    }
};
