#pragma once

#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "ecr/protocol/ECRString.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Texts the register keeps as N lines with a double-size flag each: the
// receipt header and the advertising text. Holds what their `set` parses.
template <std::size_t N>
class CliPrintedLines {
public:
    // The N lines and --double on a `set` subcommand.
    void AddOptions(CLI::App* set, const std::string& linesHelp)
    {
        set->add_option("LINES", m_lines, linesHelp)->required()->expected(static_cast<int>(N));
        set->add_option("--double", m_doubleLines, "lines printed double size, e.g. 1,3")
            ->delimiter(',')
            ->check(CLI::Range(1, static_cast<int>(N)));
    }

    // Every line must be text the register can take (CliArgs::ToRegister);
    // throws CLI::ValidationError naming the line, for the `set` check.
    void Check() const
    {
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            try {
                CliArgs::ToRegister(m_lines[i]);
            } catch (const CliFailure& failure) {
                throw CLI::ValidationError("LINES", "line " + std::to_string(i + 1) + ": " + failure.what());
            }
        }
    }

    // The parsed lines in the register's code page.
    std::array<ECRString, N> Lines() const
    {
        std::array<ECRString, N> lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = CliArgs::ToRegister(m_lines[i]);
        return lines;
    }

    std::array<bool, N> DoubleFlags() const { return CliArgs::DoubleFlags<N>(m_doubleLines); }

    // Lines read from the register: "n [2x]<TAB>text" each, and an array "lines" in the JSON result.
    static void Show(CliOutput& output, const std::array<ECRString, N>& lines, const std::array<bool, N>& doubleSize)
    {
        JsonValue& json = output.Result().Set("lines", JsonValue::Array());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string text = CliArgs::FromRegister(lines[i]);
            output.Line(std::to_string(i + 1) + (doubleSize[i] ? " [2x]\t" : "\t") + text);
            JsonValue line = JsonValue::Object();
            line.Set("text", text);
            line.Set("double", doubleSize[i]);
            json.Push(std::move(line));
        }
    }

private:
    std::vector<std::string> m_lines;
    std::vector<int> m_doubleLines;
};
