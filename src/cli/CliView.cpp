#include "cli/CliView.h"

#include "base/Text.h"

#include <istream>
#include <ostream>

namespace mv::cli {

namespace {
std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) {
    g_interrupted = true;
}
} // namespace

void CliView::setCaption(const std::string& caption) {
    if (m_printCaptions && caption != m_caption) m_context.out << caption << std::endl;
    m_caption = caption;
}

void CliView::setProgressMessage(const std::string& message) {
    // Only the per-message counter is worth a line, and only for a person watching.
    if (!m_context.errorIsTerminal || !message.starts_with("Message ")) return;
    m_context.err << "\r" << message << std::flush;
    m_progressShown = true;
}

void CliView::hideProgress() {
    if (!m_progressShown) return;
    m_context.err << "\r\033[K" << std::flush;
    m_progressShown = false;
}

void CliView::showError(const std::string& message) {
    hideProgress();
    m_context.err << "Error: " << message << "\n";
}

void CliView::showWarning(const std::string& message) {
    hideProgress();
    m_context.err << "Warning: " << message << "\n";
}

void CliView::showInformation(const std::string& message) {
    hideProgress();
    m_context.err << message << "\n";
}

bool CliView::askYesNo(const std::string& question) {
    if (m_assumeYes) return true;
    if (!m_context.inputIsTerminal) {
        m_context.err << question << " - no terminal to ask, so nothing is done (use --yes)\n";
        return false;
    }
    m_context.err << question << " [y/N] " << std::flush;
    std::string answer;
    std::getline(m_context.in, answer);
    answer = upperAscii(trim(answer));
    return answer == "Y" || answer == "YES";
}

std::optional<int> CliView::chooseMailbox(const std::vector<ChooserEntry>& entries,
                                          int preselected) {
    // The command line names its mailbox itself; the chooser keeps the current one.
    if (preselected < 0 || preselected >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<std::size_t>(preselected)].mailbox;
}

void CliView::showText(ViewerMode, const std::string& text) {
    m_context.out << text;
}

void CliView::openSettings() {
    m_context.err << "Set the mailbox with: mailvane-cli accounts set N --server S --user U "
                     "--password-stdin\n";
}

CliPlatform::CliPlatform() {
    g_interrupted = false;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &m_previous);
}

CliPlatform::~CliPlatform() {
    ::sigaction(SIGINT, &m_previous, nullptr);
}

bool CliPlatform::takeInterrupt() {
    return g_interrupted.exchange(false);
}

void CliPlatform::pump() {
    if (m_controller != nullptr && takeInterrupt()) m_controller->cancel();
}

CheckSession::CheckSession(CommandContext& context)
    : view(context),
      controller(context.home, context.settings, view, platform, context.clock, context.regional) {
    platform.setController(&controller);
    controller.setLaunchesMailProgram(false);
    controller.startUp();
}

} // namespace mv::cli
