#pragma once
// The upload dialog: sends the active zibble to the live-share server and
// marks it with the ID that the server hands out.
#include "sharedialog.h"

namespace zibbles {

class TLiveUp : public LiveShareDialog {
    Q_OBJECT
public:
    TLiveUp(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services);

    void ConnectNowClick();
    QPushButton *connectButton() const { return m_connect; }

private:
    void upload();

    ActiveZibble &m_zibble;
    QPushButton *m_connect = nullptr;
};

} // namespace zibbles
