// The services that Qt provides on every system.
#include "qteventloop.h"
#include "qtmessages.h"

namespace zibbles {

std::unique_ptr<MessagePump> createMessagePump() { return std::make_unique<QtMessagePump>(); }

std::unique_ptr<TimerFactory> createTimerFactory() { return std::make_unique<QtTimerFactory>(); }

std::unique_ptr<MessageService> createMessageService() { return std::make_unique<QtMessageService>(); }

} // namespace zibbles
