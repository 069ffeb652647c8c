#include "commands/UnsavedDataGuard.h"

#include "ui/UiService.h"

namespace talor {

bool unsavedDataGuard(bool& dataChanged, UiService& ui, QWidget* parent)
{
    if (!dataChanged)
        return true;
    if (ui.message(parent, GuardMessage, UiService::Buttons::OkCancel, SystemTitle) != UiService::Answer::Ok)
        return false;
    dataChanged = false;
    return true;
}

} // namespace talor
