#pragma once

#include <QString>
#include <QtGlobal>

namespace talor {

// How the module reads the settings that the set-up dialog and the kind buttons write and an
// administrator may edit by hand: one reading for every part that uses them.

// Rows marked abnormal while no colour is set are drawn in this colour (0x00BBGGRR, pink).
inline constexpr quint32 DefaultAbnormalColour = 11177215;
inline constexpr quint32 WhiteColour = 0xFFFFFF;

// An abnormal colour setting: its leading number as a 0x00BBGGRR colour. A value that is absent
// or no colour (no number, 0, negative, beyond white) is the default colour: settings files of
// earlier set-ups hold "0" for a colour never chosen.
quint32 abnormalColourValue(const QString& setting);
// The text a chosen colour is written as: its number, black as 1 (a black that "0" cannot be).
QString abnormalColourText(quint32 colour);

// The report kind "1", "2" or "3" of an OPT setting; an absent or unknown one is "2", the
// one-day report of the organisation or a department.
QString reportKindValue(const QString& setting);

// Whether the restricted-command list names `command` ("保存"). The set-up dialog writes the
// names run together ("编辑保存"); any text holding the name restricts the command, so that a
// list edited by hand ("保存,打印") means what the dialog shows for it.
bool isRestricted(const QString& list, const QString& command);

} // namespace talor
