#pragma once
// The message boxes the controller shows (errors, warnings, information), held back while an
// operation runs: a modal box in the middle of a network wait would leave the server's silence
// timer running behind it. They are shown, in the order they came, once the operation has ended.
// Owned by the controller.
#include "app/View.h"

#include <string>
#include <utility>
#include <vector>

namespace mv {

class HeldMessages {
public:
    explicit HeldMessages(View& view) : m_view(view) {}

    void error(const std::string& text) { add(Kind::Error, text); }
    void warning(const std::string& text) { add(Kind::Warning, text); }
    void information(const std::string& text) { add(Kind::Information, text); }

    // From now until release, messages wait.
    void hold() { m_holding = true; }
    // Shows every message that waited; later ones are shown at once again.
    void release();

private:
    enum class Kind { Error, Warning, Information };
    void add(Kind kind, const std::string& text);
    void show(Kind kind, const std::string& text);

    View& m_view;
    bool m_holding = false;
    std::vector<std::pair<Kind, std::string>> m_waiting;
};

} // namespace mv
