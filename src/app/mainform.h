#pragma once
// The main window: it owns the run-time state, the editor and the timers, and
// wires the controls to the zibble library.
#include "mainstate.h"
#include "services.h"

#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QMenu;
class QPushButton;

namespace zibbles {

class Timer;
class TrayIcon;
class ZibbleEditor;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(const Services &services, QWidget *parent = nullptr);
    ~TMainForm() override; // FormDestroy

    MainState &state() { return m_state; }
    const Services &services() const { return m_services; }

    // The zibble library.
    void SelectSet(int set);
    void SelectSlot(int slot);
    void SaveActiveZibble();
    bool EditorModified() const { return m_editorModified; }

    // Tray items.
    void Exit1Click();
    void HideToTray();
    void RestoreFromTray();

    ZibbleEditor *editor() const { return m_editor; }
    QPushButton *setButton() const { return m_setButton; }
    QPushButton *saveButton() const { return m_saveButton; }
    QPushButton *slotButton(int slot) const { return m_slotButtons.at(size_t(slot - 1)); }
    QMenu *setMenu() const { return m_setMenu; }
    TrayIcon *trayIcon() const { return m_tray; }
    Timer &waitTimer() { return *m_timer1; }

protected:
    void closeEvent(QCloseEvent *event) override;   // FormClose
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void SetUpHotkeys();
    void LoadPerformersSettings();
    void Timer1Timer();
    void createControls();
    void editorChanged();
    void setEditorModified(bool modified);
    // Writes the editor to the shown slot file if it was edited.
    void saveIfModified();
    void pressActiveSlotButton();

    Services m_services;
    MainState m_state;
    bool m_editorModified = false;
    std::unique_ptr<Timer> m_timer1;

    ZibbleEditor *m_editor = nullptr;
    QPushButton *m_setButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QMenu *m_setMenu = nullptr;
    QButtonGroup *m_slotGroup = nullptr;
    std::array<QPushButton *, 12> m_slotButtons{};
    TrayIcon *m_tray = nullptr;
    bool m_centred = false;
};

} // namespace zibbles
