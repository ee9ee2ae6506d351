#pragma once
// A fresh folder under the system's temporary folder for one test, removed with everything in it
// when the test ends.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace mv::test {

class TempHome {
public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mailvane-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_dir = pattern;
    }
    ~TempHome() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& dir() const { return m_dir; }

private:
    std::filesystem::path m_dir;
};

} // namespace mv::test
