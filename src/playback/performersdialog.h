#pragma once
// TPerformers1, the performers dialog: performers mode on or off and the
// user's character name. Created once at start-up, so its controls keep their
// state between showings.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zibbles {

class MessageService;
class UserStore;
struct ProgramSettings;

class TPerformers1 : public QDialog {
    Q_OBJECT
public:
    TPerformers1(UserStore &store, ProgramSettings &settings, MessageService &messages, QWidget *parent = nullptr);

    // Fills the controls from the store; raises the store's read error (and
    // leaves the controls) when the stored values cannot be read.
    void LoadFromRegistry();
    // Writes the controls to the store, then makes the settings follow them.
    void SaveToRegistry();

    QCheckBox *DirMode() const { return m_dirMode; }
    QLabel *DirModeText() const { return m_dirModeText; }
    QLabel *RzLabel2() const { return m_label2; }
    QLineEdit *DCharName() const { return m_charName; }
    QPushButton *RzToolbarButton1() const { return m_ok; }     // OK
    QPushButton *RzToolbarButton2() const { return m_cancel; } // Cancel

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void DirModeClick();
    void okClicked();

    UserStore &m_store;
    ProgramSettings &m_settings;
    MessageService &m_messages;
    QCheckBox *m_dirMode = nullptr;
    QLabel *m_dirModeText = nullptr; // the box's text, wrapped
    QLabel *m_label2 = nullptr;
    QLineEdit *m_charName = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zibbles
