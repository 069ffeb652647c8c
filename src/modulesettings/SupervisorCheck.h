#pragma once

namespace talor {

class SuiteServices;

// When the suite's lock switch counts as set: in the select-report dialog any value other than
// 0 (NonZero), in the About box only a value greater than 0 (Positive).
enum class LockRule
{
    NonZero,
    Positive
};

// The supervisor check in front of the module's protected commands. Unless the lock switch is
// set (by `rule`), the operator "pelto" passes at once. Otherwise, and for every other
// operator, the suite's access code must equal the first six characters of the suite's code
// prefix followed directly by the advanced password (settings section "SYSTEM", key "GJKL").
// All comparisons are exact. A failing settings read throws SuiteError.
bool supervisorCheck(SuiteServices& suite, LockRule rule);

} // namespace talor
