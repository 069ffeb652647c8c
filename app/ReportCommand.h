#pragma once

#include <QStringList>

namespace talor {

// `talor report ...`: writes one report as the window shows it into a workbook, without a
// display. Returns the exit status: 0 done, 1 the suite or a file failed, 2 a bad request
// (usage, an unknown node, person, report or date).
int runReportCommand(const QStringList& arguments);

} // namespace talor
