#pragma once
// A message service that records what would have been shown.
#include "platform/messages.h"

#include <string>
#include <vector>

namespace zibbles::testing {

class RecordingMessages : public MessageService {
public:
    void showMessage(const std::string &text) override { messages.push_back(text); }
    void showError(const std::string &text) override { errors.push_back(text); }
    bool askYesNo(const std::string &text) override
    {
        questions.push_back(text);
        return answerYes;
    }

    std::vector<std::string> messages, errors, questions;
    bool answerYes = true;
};

} // namespace zibbles::testing
