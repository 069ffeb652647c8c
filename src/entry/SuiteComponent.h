#pragma once

#include <QString>

namespace talor {

class SuiteServices;
class UiService;

// A suite component as the suite creates it by class name ("veld.clszh"): one object whose
// zh shows the component's window modally and returns the empty text when it is closed.
// Deleting the object releases the component.
class SuiteComponent
{
public:
    virtual ~SuiteComponent() = default;
    virtual QString zh() = 0;
};

// Every component library (dll/<name>.so) exports this C function; it returns a new component
// working on the caller's suite services and UI service, or null when it cannot.
//     extern "C" talor::SuiteComponent* talor_create_component(talor::SuiteServices*, talor::UiService*);
using CreateComponentFunction = SuiteComponent* (*)(SuiteServices*, UiService*);
inline constexpr const char* CreateComponentSymbol = "talor_create_component";

} // namespace talor
