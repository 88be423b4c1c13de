#pragma once
// The download dialog: fetches a shared zibble by its letter and number into
// the selected slot.
#include "sharedialog.h"

class QLineEdit;

namespace zibbles {

class TDLGig : public LiveShareDialog {
    Q_OBJECT
public:
    TDLGig(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services);

    void GetZibbleNowClick();

    QLineEdit *letterField() const { return m_letter; }
    QLineEdit *numberField() const { return m_number; }
    QPushButton *getButton() const { return m_get; }

private:
    void InputCheck();
    void download();

    ActiveZibble &m_zibble;
    QLineEdit *m_letter = nullptr;
    QLineEdit *m_number = nullptr;
    QPushButton *m_get = nullptr;
};

} // namespace zibbles
