#pragma once
// What the two live-share dialogs have in common: one HTTP request, a
// status bar, a row of buttons ending in "Cancel", and closing during an
// exchange. The exchange keeps the event loop turning, so a Cancel or a close
// can arrive in the middle of it: it ends the exchange at once, the handler
// that ran it returns without changing anything, and the dialog closes then.
#include "hurl.h"
#include "liveshare.h"

#include <QDialog>

#include <functional>

class QBoxLayout;
class QLabel;
class QPushButton;

namespace zibbles {

class LiveShareDialog : public QDialog {
    Q_OBJECT
public:
    QString statusText() const;
    THttpUrlRequest &request() { return HttpUrlRequest1; }
    // Escape: like a close, it ends the exchange under way.
    void reject() override;

protected:
    LiveShareDialog(QWidget *owner, const LiveShareServices &services, const QString &caption, QSize clientSize);

    // The action button and "Cancel", side by side, then the status bar.
    QPushButton *addButtonsAndStatusBar(QBoxLayout *column, const QString &action, const QString &status);
    void setStatus(const std::string &text);
    // Runs a button's handler; a second press while one runs is ignored.
    void runHandler(const std::function<void()> &handler);
    // Whether the user closed the dialog while the handler ran.
    bool closeAsked() const { return m_closeAsked; }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    LiveShareServices m_services;
    THttpUrlRequest HttpUrlRequest1;

private:
    void closeDuringExchange();

    QLabel *m_status = nullptr;
    bool m_busy = false;
    bool m_closeAsked = false;
};

} // namespace zibbles
