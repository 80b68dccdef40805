#pragma once

// One visitor for std::visit made of several lambdas, one per alternative:
//   std::visit(Overloaded{[](const A&) { ... }, [](const B&) { ... }}, variant);
template <typename... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
template <typename... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;
