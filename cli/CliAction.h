#pragma once

#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

class CliSession;

// What the chosen subcommand does: an optional preparation that runs before
// the port is opened (reading and checking input files, checking an output
// path), so a bad file costs no connection and sends nothing; then the work
// once the register is logged on.
class CliAction {
public:
    using Work = std::function<void(CliSession&)>;
    using Preparation = std::function<void()>;

    // What the work needs of the session.
    enum class Link {
        Register,  // the register logged on before the work starts
        None,      // nothing: the work never touches the line
        Own,       // the line as the work itself opens it (it cannot run inside a batch)
    };

    CliAction() = default;
    template <class F>
        requires(std::invocable<F&, CliSession&> && !std::same_as<std::remove_cvref_t<F>, CliAction>)
    CliAction(F work) : m_work(std::move(work))  // NOLINT: a plain action converts
    {
    }
    CliAction(Preparation prepare, Work work) : m_prepare(std::move(prepare)), m_work(std::move(work)) {}
    CliAction(Link link, Work work) : m_work(std::move(work)), m_link(link) {}
    CliAction(Link link, Preparation prepare, Work work)
        : m_prepare(std::move(prepare)), m_work(std::move(work)), m_link(link)
    {
    }

    explicit operator bool() const { return static_cast<bool>(m_work); }
    void Prepare() const
    {
        if (m_prepare)
            m_prepare();
    }
    void operator()(CliSession& session) const { m_work(session); }
    Link GetLink() const { return m_link; }

private:
    Preparation m_prepare;
    Work m_work;
    Link m_link = Link::Register;
};
