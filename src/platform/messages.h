#pragma once
// Modal message boxes, the program's only way of telling the user something.
#include <memory>
#include <string>

namespace zibbles {

class MessageService {
public:
    virtual ~MessageService() = default;
    // A plain message with an OK button.
    virtual void showMessage(const std::string &text) = 0;
    // The top-level error report: an error that ended an event handler.
    virtual void showError(const std::string &text) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string &text) = 0;
};

// Message boxes of the system the program was built for.
std::unique_ptr<MessageService> createMessageService();

} // namespace zibbles
