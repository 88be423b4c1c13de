#pragma once
// A temporary folder for a test, removed with its content afterwards.
#include <QTemporaryDir>

#include <string>

namespace zibbles::testing {

class TempDir {
public:
    // The path ends in "/", like the program folder.
    std::string path() const { return m_dir.path().toStdString() + "/"; }
    std::string file(const std::string &name) const { return path() + name; }

private:
    QTemporaryDir m_dir;
};

} // namespace zibbles::testing
