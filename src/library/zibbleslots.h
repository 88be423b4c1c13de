#pragma once
// The set and slot shown in the editor, and the rules for changing them: an
// edit is written before another set or slot is shown, and a change that
// fails leaves the shown set, slot and text as they were.
#include <string>

namespace zibbles {

struct MainState;

// What choosing a slot needs of the window: the editor's text and the
// controls that show the choice.
class SlotEditor {
public:
    virtual ~SlotEditor() = default;
    virtual std::string textBytes() const = 0;
    virtual void setTextBytes(const std::string &bytes) = 0;
    virtual void showSet(int set) = 0;            // the set button's caption
    virtual void showSlot(int slot) = 0;          // the pressed slot button
    virtual void showModified(bool modified) = 0; // the Save button
};

class ZibbleSlots {
public:
    ZibbleSlots(MainState &state, SlotEditor &editor);

    // Errors (a slot that cannot be written or read) are thrown as AppError.
    void SelectSet(int set);
    void SelectSlot(int slot);
    void SaveActiveZibble();
    // Writes the editor to the shown slot file if it was edited.
    void saveIfModified();

    bool EditorModified() const { return m_modified; }
    void setEditorModified(bool modified);

private:
    void showActiveSlot();

    MainState &m_state;
    SlotEditor &m_editor;
    bool m_modified = false;
};

} // namespace zibbles
