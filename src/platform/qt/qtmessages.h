#pragma once
#include "platform/messages.h"

namespace zibbles {

class QtMessageService : public MessageService {
public:
    void showMessage(const std::string &text) override;
    void showError(const std::string &text) override;
    bool askYesNo(const std::string &text) override;
};

} // namespace zibbles
