#pragma once
// The main window's active zibble as the live-share dialogs see it: the
// editor's text and flag, and the shown slot's file that a save writes
// atomically. Choosing another slot saves the edit and loads that slot, as
// the main window does.
#include "platform/atomicfile.h"
#include "share/liveshare.h"

#include <stdexcept>
#include <string>

namespace zibbles::testing {

class FakeActiveZibble : public ActiveZibble {
public:
    FakeActiveZibble(std::string path, std::string text) : m_path(std::move(path)), text(std::move(text))
    {
        if (!writeFileAtomically(m_path, this->text))
            throw std::runtime_error("cannot write " + m_path);
    }

    std::string editorText() override { return text; }
    bool editorModified() override { return modified; }
    std::string activeFile() override { return m_path; }
    void selectSlot(const std::string &path)
    {
        if (modified && !writeFileAtomically(m_path, text))
            throw std::runtime_error("cannot write " + m_path);
        m_path = path;
        text = readWholeFile(m_path).value_or("");
        modified = false;
    }
    void insertFirstLine(const std::string &line) override
    {
        text = line + "\r\n" + text;
        modified = true;
    }
    void replaceText(const std::string &newText) override
    {
        text = newText;
        modified = true;
    }
    void SaveActiveZibble() override
    {
        ++saves;
        if (modified && writeFileAtomically(m_path, text))
            modified = false;
    }
    std::string fileBytes() const { return readWholeFile(m_path).value_or("<missing>"); }

    std::string m_path;
    std::string text;
    bool modified = false;
    int saves = 0;
};

} // namespace zibbles::testing
