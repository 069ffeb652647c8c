#pragma once

#include <QString>

class QWidget;

namespace talor {

class UiService;

// The unsaved-data guard that runs before the commands whose rule asks for it (CommandRules.h)
// and before a click that shows another report: with unsaved edits it asks "资料已变动,真的放弃保存?"
// (OK/Cancel, title "系统提示"). Returns true when the command may go on; OK also clears `dataChanged`.
bool unsavedDataGuard(bool& dataChanged, UiService& ui, QWidget* parent);

inline const QString GuardMessage = QStringLiteral("资料已变动,真的放弃保存?");
inline const QString SystemTitle = QStringLiteral("系统提示");

} // namespace talor
