#pragma once

#include <QString>

namespace talor {

// The demo suite's configuration in the user's data directory (AppDataLocation/demo/suite.ini).
QString defaultSuitePath();

// defaultSuitePath(), after creating the demo suite there when it does not exist yet; a program
// that asks while another one creates it waits for that suite. Throws SuiteError when it cannot
// be created.
QString ensureDefaultSuite();

} // namespace talor
