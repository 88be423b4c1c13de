#pragma once
// The slot that one live-share exchange may change: the one shown when the
// exchange started. The answer can come after the user has chosen another
// slot or set (hotkeys and the main window stay live meanwhile); it then goes
// into the file of the bound slot alone, and the editor, which shows another
// slot with edits of its own, is left as it is.
#include <string>

namespace zibbles {

class ActiveZibble;

class BoundSlot {
public:
    explicit BoundSlot(ActiveZibble &zibble);

    // Puts the line and CR LF in front of the slot's text.
    void insertFirstLine(const std::string &line);
    // Replaces the slot's whole text.
    void replaceText(const std::string &text);
    // Writes the change that went into the editor, as the Save button would;
    // a change that went straight into the file is written already.
    void save();

private:
    bool shown() const;

    ActiveZibble &m_zibble;
    const std::string m_file;
    bool m_inEditor = false;
};

} // namespace zibbles
