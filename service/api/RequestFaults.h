#pragma once

#include "ecr/files/JsonFields.h"

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Every fault of a request's body at once, each at its place (a JSON
// pointer, RFC 6901: "/lines/1/price", "" for the body as a whole), so that
// a till mends them all in one go. Thrown as a JsonFields::Refusal whose
// message is the first fault's, as a reader that stops at the first says it.
class RequestFaults : public JsonFields::Refusal {
public:
    struct Fault {
        std::string pointer;
        std::string message;
    };

    // Runs read; a refusal it throws is kept at the pointer, and then no
    // value comes back (a read that gives none gives false, or true when it ran).
    template <typename Read>
    auto At(const std::string& pointer, Read&& read)
    {
        using Result = std::invoke_result_t<Read>;
        try {
            if constexpr (std::is_void_v<Result>) {
                read();
                return true;
            } else {
                return std::optional<Result>(read());
            }
        } catch (const JsonFields::Refusal& refusal) {
            Add(pointer, refusal.message);
            if constexpr (std::is_void_v<Result>)
                return false;
            else
                return std::optional<Result>();
        }
    }
    void Add(const std::string& pointer, const std::string& message);
    bool Empty() const { return m_faults.empty(); }
    const std::vector<Fault>& Faults() const { return m_faults; }
    // Throws this when a fault was kept.
    void ThrowIfAny() const;

private:
    std::vector<Fault> m_faults;
};
