#pragma once
// TOptForm: the "Zibble Options" dialog, one check box per hotkey option.
// It works on its check boxes and the per-user store only; the hotkeys change
// when OK has stored the options and set the hotkeys up again.
#include "hotkeyoptions.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zibbles {

class UserStore;

class TOptForm : public QDialog {
    Q_OBJECT
public:
    // `setUpHotkeys` runs after OK has stored the options.
    TOptForm(UserStore &store, std::function<void()> setUpHotkeys, QWidget *parent = nullptr);

    // Ticks the boxes of the options in effect: those stored, every one when
    // nothing is, and every one from a value that cannot be read on, whose
    // error is then raised. OK stores them all, which repairs such a value.
    void LoadHotkeyOptions();
    // Writes the boxes to the store in one write and sets the hotkeys up
    // again; a store that cannot be written raises its error and changes
    // nothing.
    void SaveHotkeyOptions();

    // Marks the boxes of the keys that another program holds (one flag per
    // option; a missing flag is false), and shows a note when any is.
    void markHeldKeys(const std::vector<bool> &held);
    bool isMarkedHeld(int option) const;
    QLabel *heldNote() const { return m_heldNote; }

    QCheckBox *checkBox(int option) const { return m_boxes.at(size_t(option)); } // 0..23
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    HotkeyChoices choices() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void applyChoices(const HotkeyChoices &choices);
    void RzToolbarButton1Click();
    void RzToolbarButton2Click();

    UserStore &m_store;
    std::function<void()> m_setUpHotkeys;
    std::array<QCheckBox *, kHotkeyOptionCount> m_boxes{};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_heldNote = nullptr;
};

} // namespace zibbles
