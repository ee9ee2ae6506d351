#pragma once
// The home lock around one save made from a window: the desktop program and the command line
// share a home, so each save holds the lock only while it writes.
#include "app/settings/HomeLock.h"

#include <filesystem>
#include <memory>

class QWidget;

namespace mv::gui {

// The lock, or null after telling the user over `parent` why it could not be had (another
// program kept writing, or the lock file cannot be made): the window then stays open with its
// edits for the user to try again.
std::unique_ptr<ScopedHomeLock> lockForSave(QWidget* parent, const std::filesystem::path& lockFile);

} // namespace mv::gui
