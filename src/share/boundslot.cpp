#include "boundslot.h"

#include "liveshare.h"

#include "library/zibblefile.h"

namespace zibbles {

BoundSlot::BoundSlot(ActiveZibble &zibble) : m_zibble(zibble), m_file(zibble.activeFile())
{
}

bool BoundSlot::shown() const
{
    return m_zibble.activeFile() == m_file;
}

void BoundSlot::insertFirstLine(const std::string &line)
{
    if (shown()) {
        m_zibble.insertFirstLine(line);
        m_inEditor = true;
        return;
    }
    // Leaving the slot saved its edits, so the file holds its whole text.
    saveZibble(m_file, line + "\r\n" + loadZibble(m_file));
}

void BoundSlot::replaceText(const std::string &text)
{
    if (shown()) {
        m_zibble.replaceText(text);
        m_inEditor = true;
        return;
    }
    saveZibble(m_file, text);
}

void BoundSlot::save()
{
    // If the user has left the slot since, leaving it saved the change.
    if (m_inEditor && shown())
        m_zibble.SaveActiveZibble();
}

} // namespace zibbles
