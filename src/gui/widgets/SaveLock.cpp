#include "gui/widgets/SaveLock.h"

#include "gui/widgets/MessageBox.h"

namespace mv::gui {

std::unique_ptr<ScopedHomeLock> lockForSave(QWidget* parent,
                                            const std::filesystem::path& lockFile) {
    try {
        return std::make_unique<ScopedHomeLock>(lockFile);
    } catch (const std::runtime_error& e) { // LockError, or FileError for the lock file
        MessageBox::error(parent, QString::fromStdString(e.what()));
        return nullptr;
    }
}

} // namespace mv::gui
