#include "zibbleslots.h"

#include "zibblefile.h"
#include "zibbleset.h"

#include "core/mainstate.h"

namespace zibbles {

ZibbleSlots::ZibbleSlots(MainState &state, SlotEditor &editor)
    : m_state(state)
    , m_editor(editor)
{
}

void ZibbleSlots::SelectSet(int set)
{
    // The edit of the shown slot is written first: when that fails, nothing
    // has changed yet and the user still sees the slot that holds the edit.
    saveIfModified();
    m_state.CurrentSet = set;
    m_editor.showSlot(1);
    m_editor.showSet(set);
    SelectSlot(1);
}

void ZibbleSlots::SelectSlot(int slot)
{
    try {
        saveIfModified();
        // Read before anything changes: a slot file that cannot be read leaves
        // the editor and the active file together, so no later save can write
        // one slot's text into another.
        const std::string path = SlotFilePath(m_state.AppFolder, m_state.CurrentSet, slot);
        const std::string bytes = loadZibble(path);
        m_state.ActiveFileName = path;
        m_editor.showSlot(slot);
        m_editor.setTextBytes(bytes);
        setEditorModified(false);
    } catch (...) {
        showActiveSlot();
        throw;
    }
}

void ZibbleSlots::showActiveSlot()
{
    for (int k = 1; k <= kSlotCount; ++k)
        if (SlotFilePath(m_state.AppFolder, m_state.CurrentSet, k) == m_state.ActiveFileName)
            m_editor.showSlot(k);
}

void ZibbleSlots::SaveActiveZibble()
{
    saveIfModified();
    setEditorModified(false);
}

void ZibbleSlots::saveIfModified()
{
    if (m_modified)
        saveZibble(m_state.ActiveFileName, m_editor.textBytes());
}

void ZibbleSlots::setEditorModified(bool modified)
{
    m_modified = modified;
    m_editor.showModified(modified);
}

} // namespace zibbles
