#include "liveshare.h"

#include "dlzibble.h"
#include "liveupload.h"

#include "platform/messages.h"

namespace zibbles {

const char *const kLiveShareHeader = "# Available Via Zibbles Live Share: ";

namespace {

const char *const kNotSaved = "The currently active Zibble is not saved. Please click the save button first.";
const char *const kConfirmReplace =
    "Did you select an empty Function Key or Zibble that you want to replace? The current Zibble will be "
    "replaced with the Zibble you are about to download. Are you sure, you want to do this? ";
const char *const kSelectEmptySlot =
    "Use the \"Zibble Sets\" Button to select a different set and/or use one of the function key buttons at the "
    "bottom of the program to select an empty slot for the new Zibble then try again.";

} // namespace

void UploadActiveZibbleNow(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services)
{
    if (zibble.editorModified()) {
        services.messages->showMessage(kNotSaved);
        return;
    }
    auto *dialog = new TLiveUp(owner, zibble, services);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

void GetAZibble(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services)
{
    if (!services.messages->askYesNo(kConfirmReplace)) {
        services.messages->showMessage(kSelectEmptySlot);
        return;
    }
    auto *dialog = new TDLGig(owner, zibble, services);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

} // namespace zibbles
