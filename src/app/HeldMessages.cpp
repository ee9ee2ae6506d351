#include "app/HeldMessages.h"

namespace mv {

void HeldMessages::add(Kind kind, const std::string& text) {
    if (m_holding)
        m_waiting.emplace_back(kind, text);
    else
        show(kind, text);
}

void HeldMessages::release() {
    m_holding = false;
    // A box shown here may run a command that holds and adds again: take the list first.
    auto waiting = std::exchange(m_waiting, {});
    for (const auto& [kind, text] : waiting)
        show(kind, text);
}

void HeldMessages::show(Kind kind, const std::string& text) {
    switch (kind) {
    case Kind::Error:
        m_view.showError(text);
        break;
    case Kind::Warning:
        m_view.showWarning(text);
        break;
    case Kind::Information:
        m_view.showInformation(text);
        break;
    }
}

} // namespace mv
